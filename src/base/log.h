#pragma once
#include <cstdio>
#include <string>

// Where log lines, usage and version texts, errors and -s scores go:
// standard error, or standard output with -e.
extern FILE* logStream;
extern std::string programName;
// Names the file open for reading or writing ("File 'x.xml'", "stdin",
// "stdout"); fatal errors print it in front of their message.
extern std::string currentFile;

// printf-like output to logStream, flushed at once. Callers test the level
// first (logLevel).
void logPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Framed error message, then exit status 1. Messages carry no trailing newline.
[[noreturn]] void fatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void fatalErrorAt(int line, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// How a fatal error ends the program. The default prints and exits; the fuzz
// build replaces it so that one input's error does not end the whole process.
using FatalExit = void (*)(int status);
void setFatalExit(FatalExit handler);
[[noreturn]] void endProgram(int status);
