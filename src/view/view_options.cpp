#include "view/view_options.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace View {

void printViewUsage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--html FILE] [--text] [--csv FILE] PROBLEM SOLUTION\n"
                 "   Renders a timetable that quorvex -c accepts, for people to read.\n"
                 "   Files can be '-' which holds for standard input/output\n"
                 "      --html FILE     write one printable page with every weekly grid\n"
                 "      --text          print the grids as plain text (the default)\n"
                 "      --csv FILE      write one row per assigned lesson\n"
                 "      --help          print this help, then exit\n",
                 program);
}

ViewOptions parseViewOptions(int argc, char** argv) {
    ViewOptions options;
    std::vector<std::string> files;
    auto fail = [&](const char* format, const char* what) {
        std::fprintf(stderr, format, what);
        options.action = ViewOptions::Action::usageError;
        return options;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            options.action = ViewOptions::Action::showHelp;
            return options;
        }
        if (arg == "--text") {
            options.text = true;
        } else if (arg == "--html" || arg == "--csv") {
            if (i + 1 >= argc) return fail("Option '%s' needs a file name\n", argv[i]);
            (arg == "--html" ? options.htmlFile : options.csvFile) = argv[++i];
        } else if (arg.rfind("--html=", 0) == 0) {
            options.htmlFile = arg.substr(7);
        } else if (arg.rfind("--csv=", 0) == 0) {
            options.csvFile = arg.substr(6);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("Unknown option '%s'\n", argv[i]);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return fail("%s", "Expected PROBLEM and SOLUTION\n");
    if (options.htmlFile.empty() && options.csvFile.empty()) options.text = true;
    options.problemFile = files[0];
    options.solutionFile = files[1];
    return options;
}

}  // namespace View
