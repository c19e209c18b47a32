#include "view/escape.h"
#include "view/renderers.h"

namespace View {

std::string dayTitle(int day) { return "Day " + std::to_string(day + 1); }

std::string renderCsv(const TimetableLayout& layout) {
    const ProblemData& problem = layout.problem;
    std::string out = "lesson,day,first slot,length,weeks,resources\r\n";
    for (const Placement& placement : layout.placements) {
        std::string resources;
        for (std::size_t i = 0; i < placement.resources.size(); ++i) {
            if (i > 0) resources += ";";
            resources += problem.resourceName(placement.resources[i]);
        }
        out += csvField(problem.activityName(placement.activity)) + "," +
               std::to_string(placement.day + 1) + "," +
               std::to_string(layout.fileSlot(placement.day, placement.hour)) + "," +
               std::to_string(placement.length) + "," + weekLetter(placement.week) + "," +
               csvField(resources) + "\r\n";
    }
    return out;
}

}  // namespace View
