#include <cstdio>
#include <string>

#include "base/output_file.h"
#include "base/log.h"
#include "base/run_settings.h"
#include "view/checked_timetable.h"
#include "view/renderers.h"
#include "view/timetable_layout.h"
#include "view/view_options.h"

namespace {

// A page or table is written whole or not at all, as the solver writes its
// solution: a failed write ends the run and leaves any previous file as it was.
void writeWhole(const std::string& name, const std::string& text) {
    OutputFile file = openOutputFile(name);
    std::fwrite(text.data(), 1, text.size(), file.stream);
    finishOutputFile(file);
}

}  // namespace

int main(int argc, char** argv) {
    programName = argc > 0 ? argv[0] : "quorvex-view";
    const View::ViewOptions options = View::parseViewOptions(argc, argv);
    if (options.action == View::ViewOptions::Action::showHelp) {
        View::printViewUsage(programName.c_str());
        return 0;
    }
    if (options.action == View::ViewOptions::Action::usageError) {
        View::printViewUsage(programName.c_str());
        return 1;
    }
    // The reading and the judgement log nothing but their framed errors.
    runSettings.verbosity = 0;

    View::CheckedTimetable checked;
    View::readCheckedTimetable(options.problemFile, options.solutionFile, checked);
    const View::TimetableLayout layout(checked.problem);

    if (!options.htmlFile.empty()) writeWhole(options.htmlFile, View::renderHtml(checked, layout));
    if (!options.csvFile.empty()) writeWhole(options.csvFile, View::renderCsv(layout));
    if (options.text) writeWhole("-", View::renderText(checked, layout));
    return 0;
}
