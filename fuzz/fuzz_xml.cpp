// Fuzz target of the document reader: any bytes either parse into a tree or
// are refused with a framed message, and the tree is released completely.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "xml/xml_tree.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepareFuzzProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    prepareFuzzInput();
    XML::Elements root;
    try {
        parseBytes(data, size, root);
    } catch (const FatalStop&) {
    }
    XML::destroyDocument(root);
    return 0;
}
