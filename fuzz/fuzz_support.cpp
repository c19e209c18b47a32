#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/run_settings.h"

namespace {

// Must not return: the callers of endProgram rely on it.
[[noreturn]] void throwFatalStop(int status) { throw FatalStop{status}; }

}  // namespace

void prepareFuzzProcess() {
    setFatalExit(throwFatalStop);
    if (!std::getenv("QUORVEX_FUZZ_LOG")) {
        FILE* sink = std::fopen("/dev/null", "w");
        if (sink) logStream = sink;
    }
    // Every log line is formatted, so that its arguments are exercised too.
    runSettings.verbosity = 100;
}

void prepareFuzzInput() { currentFile.clear(); }

void parseBytes(const std::uint8_t* data, std::size_t size, XML::Elements& root) {
    // fmemopen refuses a buffer of size 0; an empty document reads as an empty file.
    static char emptyBuffer[1];
    void* buffer = size ? const_cast<std::uint8_t*>(data) : static_cast<void*>(emptyBuffer);
    FILE* stream = fmemopen(buffer, size, "r");
    if (!stream) std::abort();
    currentFile = "File 'fuzz.xml'";
    try {
        XML::parseDocument(stream, root);
    } catch (...) {
        std::fclose(stream);
        throw;
    }
    std::fclose(stream);
}
