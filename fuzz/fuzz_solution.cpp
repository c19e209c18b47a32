// Fuzz target of solution reading and judgement against one fixed problem
// (judged_problem.xml): any bytes either are scored or refused with a framed
// message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "fuzz_support.h"
#include "judge/check_solution.h"
#include "problem/analyser.h"
#include "problem/problem_data.h"
#include "problem/solution_reader.h"
#include "xml/xml_tree.h"

namespace {

// The analysed problem, read once; every input judges a copy of it.
ProblemData judgedProblem;

void readJudgedProblem() {
    FILE* stream = std::fopen(QUORVEX_JUDGED_PROBLEM, "r");
    if (!stream) {
        std::fprintf(stderr, "cannot open %s\n", QUORVEX_JUDGED_PROBLEM);
        std::exit(1);
    }
    XML::Elements root;
    try {
        XML::parseDocument(stream, root);
        analyseProblem(judgedProblem, root);
    } catch (const FatalStop&) {
        std::fprintf(stderr, "%s is refused\n", QUORVEX_JUDGED_PROBLEM);
        std::exit(1);
    }
    std::fclose(stream);
    XML::destroyDocument(root);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepareFuzzProcess();
    readJudgedProblem();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    prepareFuzzInput();
    ProblemData problem = judgedProblem;
    XML::Elements root;
    try {
        parseBytes(data, size, root);
        readSolution(problem, root);
        currentFile.clear();
        XML::destroyDocument(root);
        checkSolution(problem);
    } catch (const FatalStop&) {
    }
    XML::destroyDocument(root);
    return 0;
}
