#include "view/view_options.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace View {

void printViewUsage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [OPTIONS] PROBLEM SOLUTION\n"
                 "   Renders a timetable for people to read. One that breaks hard rules\n"
                 "   is rendered too, with every broken rule listed; the exit status is then 1.\n"
                 "   Files can be '-' which holds for standard input/output\n"
                 "      --html FILE       write one printable page with every weekly grid\n"
                 "      --text            print the grids as plain text (the default)\n"
                 "      --csv FILE        write one row per lesson on the grid\n"
                 "      --days=NAMES      names of the days, comma-separated (Mon,Tue,...)\n"
                 "      --periods=NAMES   names of the periods of a day, comma-separated\n"
                 "      --help            print this help, then exit\n",
                 program);
}

namespace {

// "Mon,Tue,Wed" into its names; false when one of them is empty.
bool splitNames(const std::string& list, std::vector<std::string>& names) {
    names.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        names.push_back(list.substr(start, comma - start));
        if (names.back().empty()) return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

}  // namespace

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
        } else if (arg == "--days" || arg == "--periods") {
            if (i + 1 >= argc) return fail("Option '%s' needs a list of names\n", argv[i]);
            if (!splitNames(argv[++i], arg == "--days" ? options.dayNames : options.periodNames))
                return fail("Option '%s' has an empty name\n", argv[i - 1]);
        } else if (arg.rfind("--days=", 0) == 0 || arg.rfind("--periods=", 0) == 0) {
            const bool days = arg[2] == 'd';
            if (!splitNames(arg.substr(days ? 7 : 10),
                            days ? options.dayNames : options.periodNames))
                return fail("Option '%s' has an empty name\n", argv[i]);
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
