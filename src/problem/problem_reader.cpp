#include "problem/problem_reader.h"

#include <string>
#include <utility>

#include "base/log.h"
#include "problem/reader_context.h"
#include "problem/value_syntax.h"
#include "problem/weeks.h"

using XML::Any;
using XML::Optional;
using XML::Required;

namespace {

// Slots that the Hard, Avail and Soft elements of one problem may list in
// all, so that a file of many wide intervals cannot exhaust memory. Real
// problems list a few thousand.
constexpr long long maxListedSlots = 50000000;

// The vocabulary of the problem format: one handler per element kind, each
// with the table of the attributes and children it accepts. A handler stores
// what it reads through the reader context and hands its children on.
class ProblemReader {
public:
    ProblemReader(ProblemData& problem, ReaderContext& context)
        : problem(problem), context(context) {}

    void readRoot(XML::Elements& root) {
        const XML::Declaration table[] = {
            {"Timetable", on(&ProblemReader::timetable), Required},
        };
        XML::checkElements(&root, table, 1);
    }

private:
    using ElementMethod = void (ProblemReader::*)(XML::Content*, const Attributes&, int);
    using AttributeMethod = void (ProblemReader::*)(const XML::Attribute&);

    XML::ElementHandler on(ElementMethod method) { return elementHandler(this, method); }
    XML::AttributeHandler on(AttributeMethod method) { return attributeHandler(this, method); }

    void timetable(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Problem", on(&ProblemReader::problemElement), Required},
            {"Generator", nullptr, Optional},
            {"Solution", nullptr, Optional},  // read by the solution reader
        };
        XML::checkElements(content, table, line);
    }

    void problemElement(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"General", on(&ProblemReader::general), Required},
            {"Resources", on(&ProblemReader::resourceCategories), Required},
            {"Activities", on(&ProblemReader::activities), Required},
            {"Dependences", on(&ProblemReader::dependences), Optional},
            {"ActivityRules", on(&ProblemReader::activityRules), Optional},
        };
        XML::checkElements(content, table, line);
    }

    // --- General --------------------------------------------------------

    void general(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"DaysPerWeek", on(&ProblemReader::daysPerWeek), Required},
            {"SlotsPerDay", on(&ProblemReader::slotsPerDay), Required},
            {"NbTimeSlots", nullptr, Optional},
            {"TimeSlots", nullptr, Optional},
            {"Resources", nullptr, Optional},
            {"Activities", nullptr, Optional},
            {"Dependences", nullptr, Optional},
        };
        XML::checkElements(content, table, line);
        // Every per-slot table is sized by the grid; the added break slots
        // are checked again by the analysis.
        if (static_cast<long long>(problem.days) * problem.slotsPerDay > maxTimeslots)
            fatalErrorAt(line, "Too many timeslots (%d days x %d slots per day, at most %d)",
                         problem.days, problem.slotsPerDay, maxTimeslots);
    }

    void daysPerWeek(XML::Content* content, const Attributes& attributes, int line) {
        problem.days = integerText(content, attributes, line);
        if (problem.days < 1) fatalErrorAt(line, "DaysPerWeek should be at least 1");
    }

    void slotsPerDay(XML::Content* content, const Attributes& attributes, int line) {
        problem.slotsPerDay = integerText(content, attributes, line);
        if (problem.slotsPerDay < 1) fatalErrorAt(line, "SlotsPerDay should be at least 1");
    }

    // --- Resources ------------------------------------------------------

    void resourceCategories(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        // The category a resource stands under is not recorded.
        const XML::Declaration table[] = {
            {"Classrooms", on(&ProblemReader::category), Required},
            {"Teachers", on(&ProblemReader::category), Required},
            {"Classes", on(&ProblemReader::classes), Required},
            {"Special", on(&ProblemReader::category), Optional},
        };
        XML::checkElements(content, table, line);
    }

    // Only a class's day can be ended by a lesson (LastOfDay).
    void classes(XML::Content* content, const Attributes& attributes, int line) {
        readingClasses = true;
        category(content, attributes, line);
        readingClasses = false;
    }

    void category(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Resource", on(&ProblemReader::resource), Any},
        };
        XML::checkElements(content, table, line);
    }

    void resource(XML::Content* content, const Attributes& attributes, int line) {
        Resource& resource = problem.resources.emplace_back();
        resource.isClass = readingClasses;
        context.idTarget = &resource.id;
        context.prefs = &resource.timePrefs;
        context.resource = &resource;
        readId(attributes, line);
        std::vector<XML::Declaration> table = {
            {"TimePreferences", on(&ProblemReader::timePreferences), Optional},
            {"Continuous", on(&ProblemReader::continuous), Optional},
            {"Break", on(&ProblemReader::breakSlots), Optional},
            {"MaxDays", on(&ProblemReader::maxDays), Optional},
            {"Balanced", on(&ProblemReader::balanced), Optional},
            {"Name", nullptr, Optional},
            {"Year", nullptr, Optional},
            {"Type", nullptr, Optional},
        };
        for (int k = 0; k < nbResourceRuleKinds; ++k) {
            const auto kind = static_cast<ResourceRuleKind>(k);
            table.push_back({ruleName(kind),
                             [this, kind](XML::Content* c, const Attributes& a, int l) {
                                 resourceRule(kind, c, a, l);
                             },
                             Optional});
        }
        XML::checkElements(content, table, line);
    }

    // A school rule of the resource: its limit, and a score when it is soft.
    void resourceRule(ResourceRuleKind kind, XML::Content* content, const Attributes& attributes,
                      int line) {
        ResourceRule& rule = context.resource->rules.emplace_back();
        rule.kind = kind;
        rule.line = line;
        context.scoreTarget = &rule.score;
        readScore(attributes, line);
        rule.limit = readInteger(XML::elementText(content, attributes, line, true), line);
        if (rule.limit < leastLimit(kind)) {
            const int r = static_cast<int>(problem.resources.size()) - 1;
            fatalErrorAt(line, "%s should be at least %d (resource %d [%s])", ruleName(kind),
                         leastLimit(kind), r, problem.resourceName(r));
        }
    }

    void continuous(XML::Content*, const Attributes& attributes, int line) {
        context.resource->continuous = hardContinuous;
        context.scoreTarget = &context.resource->continuous;
        readScore(attributes, line);
    }

    void breakSlots(XML::Content* content, const Attributes& attributes, int line) {
        context.resource->breakSlots = integerText(content, attributes, line);
    }

    void maxDays(XML::Content* content, const Attributes& attributes, int line) {
        context.resource->maxDays = integerText(content, attributes, line);
    }

    void balanced(XML::Content*, const Attributes& attributes, int line) {
        context.scoreTarget = &context.resource->balanced;
        readScore(attributes, line);
        if (context.resource->balanced == 0)
            fatalErrorAt(line, "Balanced needs score attribute (!=0)");
    }

    // --- Time preferences ----------------------------------------------

    void timePreferences(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Hard", on(&ProblemReader::hard), Any},
            {"Soft", on(&ProblemReader::soft), Any},
            {"Avail", on(&ProblemReader::avail), Any},
        };
        XML::checkElements(content, table, line);
    }

    void hard(XML::Content* content, const Attributes& attributes, int line) {
        TimePrefs& prefs = *context.prefs;
        if (prefs.hardMode == HardMode::avail)
            fatalErrorAt(line, "'Hard' and 'Avail' can not apear simultanously");
        prefs.hardMode = HardMode::hard;
        listSlots(XML::elementText(content, attributes, line), line, prefs.unavail);
    }

    void avail(XML::Content* content, const Attributes& attributes, int line) {
        TimePrefs& prefs = *context.prefs;
        if (prefs.hardMode == HardMode::hard)
            fatalErrorAt(line, "'Hard' and 'Avail' can not apear simultanously");
        prefs.hardMode = HardMode::avail;
        listSlots(XML::elementText(content, attributes, line), line, prefs.unavail);
    }

    // Each Soft element contributes its own score to its own slots: the score
    // goes into the list negated, then the slots it applies to.
    void soft(XML::Content* content, const Attributes& attributes, int line) {
        int score = 16;
        context.scoreTarget = &score;
        readScore(attributes, line);
        if (score == 0) fatalErrorAt(line, "Score is zero?");
        TimePrefs& prefs = *context.prefs;
        prefs.soft.push_back(-score);
        listSlots(XML::elementText(content, attributes, line, true), line, prefs.soft);
    }

    void listSlots(const std::string& text, int line, std::vector<int>& slots) {
        context.listedSlots += appendSlots(text, line, slots);
        if (context.listedSlots > maxListedSlots)
            fatalErrorAt(line, "Too many timeslots in time preferences (more than %lld)",
                         maxListedSlots);
    }

    // --- Activities -----------------------------------------------------

    void activities(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Activity", on(&ProblemReader::activity), Any},
        };
        XML::checkElements(content, table, line);
    }

    void activity(XML::Content* content, const Attributes& attributes, int line) {
        Activity& activity = problem.activities.emplace_back();
        context.idTarget = &activity.id;
        context.prefs = &activity.timePrefs;
        context.activity = &activity;
        context.nameList = &activity.readReq.required;
        readId(attributes, line);
        const XML::Declaration table[] = {
            {"Length", on(&ProblemReader::length), Required},
            {"Week", on(&ProblemReader::week), Optional},
            {"RequiredResources", on(&ProblemReader::requiredResources), Required},
            {"TimePreferences", on(&ProblemReader::timePreferences), Optional},
            {"Name", nullptr, Optional},
        };
        XML::checkElements(content, table, line);
    }

    void length(XML::Content* content, const Attributes& attributes, int line) {
        context.activity->length = integerText(content, attributes, line);
        // An activity of no length has no start cost to form and occupies
        // nothing; the analysis refuses one longer than the grid.
        if (context.activity->length < 1) fatalErrorAt(line, "Length should be at least 1");
    }

    void week(XML::Content* content, const Attributes& attributes, int line) {
        const std::string& text = XML::elementText(content, attributes, line);
        if (text == "O") context.activity->week = Weeks::odd;
        else if (text == "E") context.activity->week = Weeks::even;
        else if (text == "A") context.activity->week = Weeks::both;
        else fatalErrorAt(line, "One of A,E,O letters needed");
    }

    void requiredResources(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Resource", on(&ProblemReader::resourceName), Any},
            {"Group", on(&ProblemReader::group), Any},
        };
        XML::checkElements(content, table, line);
    }

    // An ordinary group offers a choice of one of its members; a conjunctive
    // group needs all of them, so its members go straight to the required
    // names, and a group of one member is a required resource too.
    void group(XML::Content* content, const Attributes& attributes, int line) {
        context.conjunctive = 0;
        const XML::AttributeDeclaration attributeTable[] = {
            {"conjunctive", on(&ProblemReader::conjunctive), Optional},
        };
        XML::checkAttributes(attributes, attributeTable, line);
        RequirementNames& names = context.activity->readReq;
        bool choice = context.conjunctive == 0;
        if (choice) context.nameList = &names.groups.emplace_back();
        const XML::Declaration table[] = {
            {"Resource", on(&ProblemReader::resourceName), Any},
        };
        XML::checkElements(content, table, line);
        if (!choice) return;
        std::vector<std::string>& members = names.groups.back();
        if (members.empty()) fatalErrorAt(line, "Empty group");
        if (members.size() == 1) {
            names.required.push_back(std::move(members.front()));
            names.groups.pop_back();
        }
        context.nameList = &names.required;
    }

    void conjunctive(const XML::Attribute& attribute) {
        context.conjunctive = XML::yesNo(attribute) ? 1 : 0;
    }

    void resourceName(XML::Content* content, const Attributes& attributes, int line) {
        context.nameList->push_back(XML::elementText(content, attributes, line));
    }

    // --- Dependences ----------------------------------------------------

    void dependences(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Dependence", on(&ProblemReader::dependence), Any},
        };
        XML::checkElements(content, table, line);
    }

    void dependence(XML::Content* content, const Attributes& attributes, int line) {
        Dependence& dependence = problem.dependences.emplace_back();
        dependence.score = -1;  // hard unless a score is given
        context.dependence = &dependence;
        context.scoreTarget = &dependence.score;
        context.idTarget = &discardedId;
        const XML::AttributeDeclaration attributeTable[] = {
            {"score", on(&ProblemReader::score), Optional},
            {"id", on(&ProblemReader::id), Optional},
        };
        XML::checkAttributes(attributes, attributeTable, line);
        const XML::Declaration table[] = {
            {"FirstActivity", on(&ProblemReader::firstActivity), Required},
            {"SecondActivity", on(&ProblemReader::secondActivity), Required},
            {"Operator", on(&ProblemReader::dependenceOperator), Required},
        };
        XML::checkElements(content, table, line);
    }

    void firstActivity(XML::Content* content, const Attributes& attributes, int line) {
        context.dependence->firstId = XML::elementText(content, attributes, line);
    }

    void secondActivity(XML::Content* content, const Attributes& attributes, int line) {
        context.dependence->secondId = XML::elementText(content, attributes, line);
    }

    void dependenceOperator(XML::Content* content, const Attributes& attributes, int line) {
        static const char* const words[] = {"Before", "Closely before", "After", "Closely after",
                                            "Concurrently"};
        const std::string& text = XML::elementText(content, attributes, line);
        for (int op = 0; op < 5; ++op) {
            if (text == words[op]) {
                context.dependence->op = static_cast<DependenceOp>(op);
                return;
            }
        }
        fatalErrorAt(line, "One of dependence operators needed (is \"%s\")", text.c_str());
    }

    // --- Activity rules -------------------------------------------------

    void activityRules(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        std::vector<XML::Declaration> table;
        for (int k = 0; k < nbActivityRuleKinds; ++k) {
            const auto kind = static_cast<ActivityRuleKind>(k);
            table.push_back({ruleName(kind),
                             [this, kind](XML::Content* c, const Attributes& a, int l) {
                                 activityRule(kind, c, a, l);
                             },
                             Any});
        }
        XML::checkElements(content, table, line);
    }

    void activityRule(ActivityRuleKind kind, XML::Content* content, const Attributes& attributes,
                      int line) {
        ActivityRule& rule = problem.activityRules.emplace_back();
        rule.kind = kind;
        rule.line = line;
        context.scoreTarget = &rule.score;
        std::vector<XML::AttributeDeclaration> attributeTable = {
            {"score", on(&ProblemReader::score), Optional},
        };
        if (kind == ActivityRuleKind::differentDays)
            attributeTable.push_back({"days",
                                      [&rule](const XML::Attribute& a) {
                                          rule.days = positiveAttribute(a);
                                      },
                                      Optional});
        if (kind == ActivityRuleKind::dailyLimit)
            attributeTable.push_back({"slots",
                                      [&rule](const XML::Attribute& a) {
                                          rule.slots = positiveAttribute(a);
                                      },
                                      Required});
        if (kind == ActivityRuleKind::consecutive)
            attributeTable.push_back(
                {"ordered", [&rule](const XML::Attribute& a) { rule.ordered = XML::yesNo(a); },
                 Optional});
        XML::checkAttributes(attributes, attributeTable, line);
        const XML::Declaration table[] = {
            {"Activity",
             [this, &rule](XML::Content* c, const Attributes& a, int l) {
                 std::string id = XML::elementText(c, a, l);
                 for (const std::string& listed : rule.ids)
                     if (listed == id)
                         fatalErrorAt(l, "Activity \"%s\" listed twice in %s", id.c_str(),
                                      ruleName(rule.kind));
                 rule.ids.push_back(std::move(id));
                 rule.idLines.push_back(l);
             },
             Any},
        };
        XML::checkElements(content, table, line);
        const std::size_t least = kind == ActivityRuleKind::lastOfDay ? 1 : 2;
        if (rule.ids.size() < least)
            fatalErrorAt(line, "%s needs at least %s", ruleName(kind),
                         least == 1 ? "one activity" : "two activities");
    }

    static int positiveAttribute(const XML::Attribute& attribute) {
        const int value = readInteger(attribute.value, attribute.line);
        if (value < 1)
            fatalErrorAt(attribute.line, "Attribute \"%s\" should be at least 1",
                         attribute.name.c_str());
        return value;
    }

    // --- Attributes and values shared by several elements ---------------

    void readId(const Attributes& attributes, int line) {
        const XML::AttributeDeclaration table[] = {
            {"id", on(&ProblemReader::id), Required},
        };
        XML::checkAttributes(attributes, table, line);
    }

    void readScore(const Attributes& attributes, int line) {
        const XML::AttributeDeclaration table[] = {
            {"score", on(&ProblemReader::score), Optional},
        };
        XML::checkAttributes(attributes, table, line);
    }

    void id(const XML::Attribute& attribute) { *context.idTarget = attribute.value; }

    void score(const XML::Attribute& attribute) {
        *context.scoreTarget = readInteger(attribute.value, attribute.line);
    }

    int integerText(XML::Content* content, const Attributes& attributes, int line) {
        return readInteger(XML::elementText(content, attributes, line), line);
    }

    ProblemData& problem;
    ReaderContext& context;
    std::string discardedId;  // a dependence's id is read and not kept
    bool readingClasses = false;  // the resources read stand under Classes
};

}  // namespace

void readProblem(ProblemData& problem, XML::Elements& root) {
    problem.addedSlots = 0;
    {
        ReaderScope scope(problem);
        ProblemReader(problem, scope.context).readRoot(root);
    }
    problem.nbSlots = problem.days * problem.slotsPerDay;
}
