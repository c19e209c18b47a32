#include "base/log.h"

#include <cstdarg>
#include <cstdlib>

FILE* logStream = stderr;
std::string programName = "quorvex";
std::string currentFile;

namespace {
FatalExit fatalExit = nullptr;

void vlogPrint(const char* format, va_list args) {
    std::vfprintf(logStream, format, args);
    std::fflush(logStream);
}

void printFrameHead() {
    std::fputs("**************** ERROR ******************\n", logStream);
    if (!currentFile.empty()) std::fprintf(logStream, "%s: ", currentFile.c_str());
}

void printFrameFoot() {
    std::fputs("\n*****************************************\n", logStream);
    std::fflush(logStream);
}
}  // namespace

void logPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vlogPrint(format, args);
    va_end(args);
}

void setFatalExit(FatalExit handler) { fatalExit = handler; }

void endProgram(int status) {
    if (fatalExit) fatalExit(status);
    std::exit(status);
}

// The framed message: header, the open file, the line when known, the text.
[[noreturn]] static void vfatalError(int line, const char* format, va_list args) {
    printFrameHead();
    if (line >= 0) std::fprintf(logStream, "line %d: ", line);
    std::vfprintf(logStream, format, args);
    printFrameFoot();
    endProgram(1);
}

void fatalError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfatalError(-1, format, args);
}

void fatalErrorAt(int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfatalError(line, format, args);
}
