#pragma once
#include <string>

// quorvex-view [--html FILE] [--text] [--csv FILE] PROBLEM SOLUTION
namespace View {

struct ViewOptions {
    enum class Action { render, showHelp, usageError };
    Action action = Action::render;
    std::string htmlFile;  // empty: no page
    std::string csvFile;   // empty: no table
    bool text = false;     // grids on standard output; also when no form is asked for
    std::string problemFile;
    std::string solutionFile;
};

// Reads the arguments; a usage error is reported on standard error.
ViewOptions parseViewOptions(int argc, char** argv);

void printViewUsage(const char* program);

}  // namespace View
