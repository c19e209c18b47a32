#pragma once
// Helpers shared by the problem tests: documents in temporary files (so that
// error messages name a file), whole framed error texts as death-test
// patterns, captured log output and a compact problem builder.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "base/log.h"
#include "problem/problem_data.h"
#include "support/problem_fixture.h"
#include "support/problem_text.h"

namespace problem_tests {

// A document written to a file of its own for the life of the object.
class TempFile {
public:
    explicit TempFile(const std::string& text) {
        char name[] = "/tmp/quorvex-problem-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
        std::ofstream(path) << text;
    }
    ~TempFile() { std::remove(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string path;
};

// The whole framed error text as an anchored pattern: where is
// "File 'x': line 5: " (or "" for an error outside a file).
inline std::string framed(const std::string& where, const std::string& message) {
    std::string text = "**************** ERROR ******************\n" + where + message +
                       "\n*****************************************\n";
    std::string pattern = "^";
    for (char c : text) {
        if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) pattern += '\\';
        pattern += c;
    }
    return pattern + "$";
}

inline std::string inFile(const TempFile& file, int line) {
    return "File '" + file.path + "': line " + std::to_string(line) + ": ";
}

inline std::string inFile(const TempFile& file) { return "File '" + file.path + "': "; }

// Everything logged while action runs.
inline std::string captureLog(const std::function<void()>& action) {
    FILE* saved = logStream;
    FILE* capture = std::tmpfile();
    logStream = capture;
    action();
    logStream = saved;
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
    std::fclose(capture);
    return text;
}

using namespace problem_text;

// Analyses the problem quietly.
inline ProblemData analysed(const std::string& text) {
    testing_support::quietLogs();
    ProblemData problem;
    testing_support::loadProblem(text, problem);
    return problem;
}

// Analyses a problem file quietly; for death tests whose message names the file.
inline void analyseFile(const TempFile& file) {
    testing_support::quietLogs();
    ProblemData problem;
    testing_support::loadProblemFile(file.path, problem);
}

}  // namespace problem_tests
