#pragma once
#include <string>

#include "base/files.h"
#include "base/run_settings.h"
#include "problem/analyser.h"
#include "problem/problem_data.h"
#include "xml/xml_tree.h"

// The benchmark problems kept beside the source tree.
inline std::string benchProblemFolder() {
    return std::string(QUORVEX_SOURCE_DIR) + "/../shared/bench";
}

// Reads and analyses a problem file into problem, quietly.
inline void loadBenchProblem(const std::string& path, ProblemData& problem) {
    runSettings.verbosity = 0;
    FILE* stream = openFile(path, "r");
    XML::Elements root;
    XML::parseDocument(stream, root);
    analyseProblem(problem, root);
    closeFile(stream);
    XML::destroyDocument(root);
}

// large-1, read once per benchmark program.
inline ProblemData& largeBenchProblem() {
    static ProblemData problem;
    static bool loaded = false;
    if (!loaded) {
        loadBenchProblem(benchProblemFolder() + "/large-1.xml", problem);
        loaded = true;
    }
    return problem;
}
