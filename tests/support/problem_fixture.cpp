#include "support/problem_fixture.h"

#include <cstdio>
#include <stdexcept>

#include "base/files.h"
#include "base/run_settings.h"
#include "problem/analyser.h"

namespace testing_support {

void parseText(const std::string& text, XML::Elements& root) {
    FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!stream) throw std::runtime_error("fmemopen failed");
    XML::parseDocument(stream, root);
    std::fclose(stream);
}

void loadProblem(const std::string& text, ProblemData& problem) {
    XML::Elements root;
    parseText(text, root);
    analyseProblem(problem, root);
    XML::destroyDocument(root);
}

void loadProblemFile(const std::string& path, ProblemData& problem) {
    FILE* stream = openFile(path, "r");
    XML::Elements root;
    XML::parseDocument(stream, root);
    analyseProblem(problem, root);
    closeFile(stream);
    XML::destroyDocument(root);
}

std::string sourcePath(const std::string& relative) {
    return std::string(QUORVEX_SOURCE_DIR) + "/" + relative;
}

std::string benchProblemPath(const std::string& name) {
    std::string path = sourcePath("../shared/bench/" + name + ".xml");
    if (FILE* file = std::fopen(path.c_str(), "r")) {
        std::fclose(file);
        return path;
    }
    return "";
}

void quietLogs() { runSettings.verbosity = 0; }

}  // namespace testing_support
