#include "base/files.h"

#include <sys/stat.h>

#include "base/log.h"

void printHintLine() {
    logPrint("To get more information about options run `%s --help'.\n", programName.c_str());
}

FILE* openFile(const std::string& name, const char* mode) {
    bool reading = mode[0] == 'r';
    if (name == "-") {
        currentFile = reading ? "stdin" : "stdout";
        return reading ? stdin : stdout;
    }
    currentFile = "File '" + name + "'";
    if (FILE* stream = std::fopen(name.c_str(), mode)) {
        // A folder opens for reading but fails at the first read; say what
        // is wrong instead.
        struct stat opened {};
        if (reading && fstat(fileno(stream), &opened) == 0 && S_ISDIR(opened.st_mode)) {
            std::fclose(stream);
            fatalError("Is a folder, not a file");
        }
        return stream;
    }
    if (reading)
        logPrint("File '%s' doesn't exist\n", name.c_str());
    else
        logPrint("Couldn't create file '%s'\n", name.c_str());
    printHintLine();
    endProgram(1);
}

void closeFile(FILE*& stream) {
    if (stream && stream != stdin && stream != stdout) std::fclose(stream);
    stream = nullptr;
    currentFile.clear();
}
