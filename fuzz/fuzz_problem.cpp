// Fuzz target of problem reading and analysis: any bytes either give an
// analysed problem or are refused with a framed message.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "problem/analyser.h"
#include "problem/problem_data.h"
#include "xml/xml_tree.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepareFuzzProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    prepareFuzzInput();
    ProblemData problem;
    XML::Elements root;
    try {
        parseBytes(data, size, root);
        analyseProblem(problem, root);
    } catch (const FatalStop&) {
    }
    XML::destroyDocument(root);
    return 0;
}
