#include "view/escape.h"
#include "view/renderers.h"

namespace View {

std::string renderCsv(const TimetableLayout& layout) {
    const ProblemData& problem = layout.problem;
    const Calendar& calendar = layout.calendar;
    std::string out = "lesson,day,period,slot,length,weeks,resources\r\n";
    for (const Placement& placement : layout.placements) {
        std::string resources;
        for (std::size_t i = 0; i < placement.resources.size(); ++i) {
            if (i > 0) resources += ";";
            resources += problem.resourceName(placement.resources[i]);
        }
        out += csvField(problem.activityName(placement.activity)) + "," +
               csvField(calendar.dayLabel(placement.day)) + "," +
               csvField(calendar.periodLabel(placement.hour)) + "," +
               std::to_string(layout.fileSlot(placement.day, placement.hour)) + "," +
               std::to_string(placement.length) + "," + weekLetter(placement.week) + "," +
               csvField(resources) + "\r\n";
    }
    return out;
}

}  // namespace View
