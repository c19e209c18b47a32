#include <cstdio>
#include <string>

#include "base/log.h"
#include "base/output_file.h"
#include "base/run_settings.h"
#include "view/checked_timetable.h"
#include "view/explanations.h"
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

bool namesFit(const std::vector<std::string>& names, const char* option, const char* what,
              int count) {
    if (names.empty() || static_cast<int>(names.size()) == count) return true;
    std::fprintf(stderr, "%s: %s gives %zu names, but the problem has %d %s\n", programName.c_str(),
                 option, names.size(), count, what);
    return false;
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
    View::TimetableLayout layout(checked.problem);
    const ProblemData& problem = checked.problem;
    if (!namesFit(options.dayNames, "--days", "days", problem.days) ||
        !namesFit(options.periodNames, "--periods", "periods a day", layout.fileSlotsPerDay))
        return 1;
    layout.calendar = {options.dayNames, options.periodNames};

    if (!options.htmlFile.empty()) writeWhole(options.htmlFile, View::renderHtml(checked, layout));
    if (!options.csvFile.empty()) writeWhole(options.csvFile, View::renderCsv(layout));
    if (options.text) writeWhole("-", View::renderText(checked, layout));
    if (layout.rules.empty()) return 0;

    // A script sees the status; a person the rules, here unless the text
    // form has just listed them on standard output.
    std::fprintf(stderr, "%s: the timetable breaks %zu hard rules; quorvex -c refuses it\n",
                 programName.c_str(), layout.rules.size());
    if (!options.text) {
        int n = 0;
        for (const std::string& note : View::ruleNotes(layout, -1))
            std::fprintf(stderr, "%d. %s\n", ++n, note.c_str());
    }
    return 1;
}
