#pragma once
#include <string>
#include <vector>

// quorvex-view [--html FILE] [--text] [--csv FILE] [--days=NAMES] [--periods=NAMES]
//              PROBLEM SOLUTION
namespace View {

struct ViewOptions {
    enum class Action { render, showHelp, usageError };
    Action action = Action::render;
    std::string htmlFile;  // empty: no page
    std::string csvFile;   // empty: no table
    bool text = false;     // grids on standard output; also when no form is asked for
    std::vector<std::string> dayNames;     // --days, one per day of the week
    std::vector<std::string> periodNames;  // --periods, one per slot of a day
    std::string problemFile;
    std::string solutionFile;
};

// Reads the arguments; a usage error is reported on standard error.
ViewOptions parseViewOptions(int argc, char** argv);

void printViewUsage(const char* program);

}  // namespace View
