#include "support/problem_text.h"

namespace problem_text {

std::string problemWithKinds(int days, int slotsPerDay, const std::string& resourceKinds,
                             const std::string& activities, const std::string& dependences,
                             const std::string& activityRules) {
    std::string text = "<Timetable><Problem><General><DaysPerWeek>" + std::to_string(days) +
                       "</DaysPerWeek><SlotsPerDay>" + std::to_string(slotsPerDay) +
                       "</SlotsPerDay></General>\n<Resources>" + resourceKinds +
                       "</Resources>\n<Activities>" + activities + "</Activities>\n";
    if (!dependences.empty()) text += "<Dependences>" + dependences + "</Dependences>\n";
    if (!activityRules.empty()) text += "<ActivityRules>" + activityRules + "</ActivityRules>\n";
    return text + "</Problem></Timetable>\n";
}

std::string problemText(int days, int slotsPerDay, const std::string& resources,
                        const std::string& activities, const std::string& dependences) {
    return problemWithKinds(days, slotsPerDay,
                            "<Classrooms/><Teachers>" + resources + "</Teachers><Classes/>",
                            activities, dependences);
}

std::string resource(const std::string& id, const std::string& inner) {
    return "<Resource id=\"" + id + "\">" + inner + "</Resource>\n";
}

std::string activityText(const std::string& id, int length, const std::string& required,
                         const std::string& inner) {
    return "<Activity id=\"" + id + "\"><Length>" + std::to_string(length) + "</Length>" + inner +
           "<RequiredResources>" + required + "</RequiredResources></Activity>\n";
}

std::string activity(const std::string& id, int length, const std::vector<std::string>& required,
                     const std::vector<std::vector<std::string>>& groups,
                     const std::string& inner) {
    std::string text;
    for (const std::string& name : required) text += res(name);
    for (const auto& members : groups) {
        std::string listed;
        for (const std::string& name : members) listed += res(name);
        text += group(listed);
    }
    return activityText(id, length, text, inner);
}

std::string res(const std::string& id) { return "<Resource>" + id + "</Resource>"; }

std::string group(const std::string& members) { return "<Group>" + members + "</Group>"; }

std::string week(const std::string& letter) {
    return letter.empty() ? "" : "<Week>" + letter + "</Week>";
}

std::string softAt(int score, const std::string& slots) {
    return "<TimePreferences><Soft score=\"" + std::to_string(score) + "\">" + slots +
           "</Soft></TimePreferences>";
}

std::string hardAt(const std::string& slots) {
    return "<TimePreferences><Hard>" + slots + "</Hard></TimePreferences>";
}

std::string dependence(const std::string& first, const std::string& second, const std::string& op,
                       int score) {
    const std::string head =
        score < 0 ? "<Dependence>" : "<Dependence score=\"" + std::to_string(score) + "\">";
    return head + "<FirstActivity>" + first + "</FirstActivity><SecondActivity>" + second +
           "</SecondActivity><Operator>" + op + "</Operator></Dependence>\n";
}

}  // namespace problem_text

namespace problem_text {

std::string activityRule(const std::string& element, const std::vector<std::string>& activities,
                         const std::string& attributes) {
    std::string text = "<" + element + (attributes.empty() ? "" : " " + attributes) + ">";
    for (const std::string& id : activities) text += "<Activity>" + id + "</Activity>";
    return text + "</" + element + ">\n";
}

}  // namespace problem_text
