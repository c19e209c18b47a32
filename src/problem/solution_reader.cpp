#include "problem/solution_reader.h"

#include <map>
#include <string>
#include <vector>

#include "base/log.h"
#include "problem/analyser.h"
#include "problem/name_index.h"
#include "problem/reader_context.h"
#include "problem/value_syntax.h"

using XML::Any;
using XML::Optional;
using XML::Required;

namespace {

// The vocabulary of the solution document as far as it is read: per activity
// its start slot and the names of the resources it uses.
class SolutionReader {
public:
    SolutionReader(ProblemData& problem, ReaderContext& context)
        : problem(problem), context(context) {}

    void readRoot(XML::Elements& root) {
        const XML::Declaration table[] = {
            {"Timetable", on(&SolutionReader::timetable), Required},
        };
        XML::checkElements(&root, table, 1);
    }

private:
    using ElementMethod = void (SolutionReader::*)(XML::Content*, const Attributes&, int);

    XML::ElementHandler on(ElementMethod method) { return elementHandler(this, method); }

    void timetable(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        // A document may hold the problem beside its solution.
        const XML::Declaration table[] = {
            {"Problem", nullptr, Optional},
            {"Generator", nullptr, Optional},
            {"Solution", on(&SolutionReader::solution), Required},
        };
        XML::checkElements(content, table, line);
    }

    void solution(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Activity", on(&SolutionReader::activity), Any},
        };
        XML::checkElements(content, table, line);
    }

    // An activity in the empty form is unassigned: no start, no resources.
    void activity(XML::Content* content, const Attributes& attributes, int line) {
        SolutionEntry& entry = problem.solution.emplace_back();
        entry.start = -1;
        context.idTarget = &entry.id;
        context.nameList = &entry.resIds;
        context.startTarget = &entry.start;
        const XML::AttributeDeclaration attributeTable[] = {
            {"id", [this](const XML::Attribute& id) { *context.idTarget = id.value; }, Required},
        };
        XML::checkAttributes(attributes, attributeTable, line);
        if (!content) return;
        const XML::Declaration table[] = {
            {"StartTime", on(&SolutionReader::startTime), Required},
            {"UsedResources", on(&SolutionReader::usedResources), Required},
        };
        XML::checkElements(content, table, line);
    }

    void startTime(XML::Content* content, const Attributes& attributes, int line) {
        *context.startTarget = readInteger(XML::elementText(content, attributes, line), line);
    }

    void usedResources(XML::Content* content, const Attributes& attributes, int line) {
        XML::checkNoAttributes(attributes);
        const XML::Declaration table[] = {
            {"Resource", on(&SolutionReader::resourceName), Any},
        };
        XML::checkElements(content, table, line);
    }

    void resourceName(XML::Content* content, const Attributes& attributes, int line) {
        context.nameList->push_back(XML::elementText(content, attributes, line));
    }

    ProblemData& problem;
    ReaderContext& context;
};

// Activity and resource names to indexes; every activity exactly once.
void resolveEntries(ProblemData& problem) {
    std::map<std::string, int> activityIndex = nameIndex(problem.activities);
    std::map<std::string, int> resourceIndex = nameIndex(problem.resources);
    std::vector<bool> listed(problem.activities.size(), false);
    for (SolutionEntry& entry : problem.solution) {
        entry.act = resolveName(activityIndex, entry.id);
        if (listed[entry.act])
            fatalError("Two times the same activity %d [%s] (in solution)", entry.act,
                       problem.activityName(entry.act));
        entry.id.clear();
        listed[entry.act] = true;
        for (const std::string& name : entry.resIds)
            entry.res.push_back(resolveName(resourceIndex, name));
        entry.resIds.clear();
    }
    if (problem.solution.size() != problem.activities.size()) {
        for (int a = 0; a < static_cast<int>(listed.size()); ++a)
            if (!listed[a])
                fatalError("Missing activity %d [%s] (in solution)", a, problem.activityName(a));
    }
}

// File slot to internal slot. A start beyond the grid stays beyond it,
// capped at the first slot past the grid, instead of wrapping around into
// it; the judgement refuses it, and slot sums on it (start + length) cannot
// overflow.
int internalStart(int start, int addedSlots, int fileSlotsPerDay, int nbSlots) {
    long long converted =
        start + static_cast<long long>(addedSlots) * (start / fileSlotsPerDay);
    return converted > nbSlots ? nbSlots : static_cast<int>(converted);
}

}  // namespace

void readSolution(ProblemData& problem, XML::Elements& root) {
    problem.solution.clear();
    {
        ReaderScope scope(problem);
        SolutionReader(problem, scope.context).readRoot(root);
    }
    resolveEntries(problem);
    const int fileSlotsPerDay = problem.slotsPerDay - problem.addedSlots;
    for (SolutionEntry& entry : problem.solution)
        entry.start =
            internalStart(entry.start, problem.addedSlots, fileSlotsPerDay, problem.nbSlots);
}
