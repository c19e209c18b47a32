#include "output/solution_writer.h"

#include <memory>
#include <string>

#include "base/log.h"
#include "base/run_settings.h"

namespace {

XML::Element& appendElement(XML::Elements& list, const char* name,
                            std::unique_ptr<XML::Content> content) {
    XML::Element& element = list.children.emplace_back();
    element.name = name;
    element.content = std::move(content);
    return element;
}

XML::Elements& appendList(XML::Elements& list, const char* name) {
    auto content = std::make_unique<XML::Elements>();
    XML::Elements& inner = *content;
    appendElement(list, name, std::move(content));
    return inner;
}

// Starts are kept in the internal numbering, where every day ends with the
// added slots; files number the slots of the problem file.
int fileSlot(const ProblemData& problem, int start) {
    if (problem.slotsPerDay <= 0) return start;
    return start - problem.addedSlots * (start / problem.slotsPerDay);
}

// An activity's used resources: its group choices first, then its direct
// requirements, the order in which a reader pairs them with the requirements.
void appendUsedResources(const ProblemData& problem, const SolutionRecord& record, int i,
                         XML::Elements& used) {
    const Activity& activity = problem.activities[i];
    for (std::size_t g = 0; g < activity.reqGroups.size(); ++g) {
        if (logLevel(20))
            logPrint("Activity %d [%s] (grsel %d) ", i, problem.activityName(i),
                     static_cast<int>(g));
        const std::size_t selection = activity.grsel + g;
        const int chosen = selection < static_cast<std::size_t>(problem.nbGrsel)
                               ? record.grsel()[selection]
                               : -1;
        appendResource(problem, used, chosen);
    }
    for (std::size_t j = 0; j < activity.reqRes.size(); ++j) {
        if (logLevel(20))
            logPrint("Activity %d [%s] (reqRes %d) ", i, problem.activityName(i),
                     static_cast<int>(j));
        appendResource(problem, used, activity.reqRes[j]);
    }
}

}  // namespace

void appendResource(const ProblemData& problem, XML::Elements& list, int resource) {
    if (logLevel(20))
        logPrint("requires resource %d [%s]\n", resource, problem.resourceName(resource));
    // A resource outside the table is written by the name "illegal", which no
    // reader resolves, rather than read out of the table.
    appendElement(list, "Resource",
                  std::make_unique<XML::TextContent>(problem.resourceName(resource)));
}

void writeSolution(const ProblemData& problem, const SolutionRecord& record, FILE* stream,
                   XML::Elements& document) {
    const int nbActivities = static_cast<int>(problem.activities.size());
    if (!record.allocated() ||
        record.size() != static_cast<std::size_t>(nbActivities) + problem.nbGrsel + 1)
        fatalError("Internal error - solution record does not fit the problem");

    XML::Elements& timetable = appendList(document, "Timetable");
    XML::Elements& solution = appendList(timetable, "Solution");
    for (int i = 0; i < nbActivities; ++i) {
        const int t = record.start()[i];
        XML::Element& element = appendElement(solution, "Activity", nullptr);
        element.attributes.push_back(XML::Attribute{0, "id", problem.activities[i].id});
        if (logLevel(20)) logPrint("Activity %d [%s], time %d\n", i, problem.activityName(i), t);
        if (t < 0) continue;

        auto content = std::make_unique<XML::Elements>();
        appendElement(*content, "StartTime",
                      std::make_unique<XML::TextContent>(std::to_string(fileSlot(problem, t))));
        appendUsedResources(problem, record, i, appendList(*content, "UsedResources"));
        element.content = std::move(content);
    }
    writeDocument(stream, document);
}
