#pragma once
#include <cstdio>
#include <string>

// Opens a file for "r" or "w"; "-" is standard input or output. Sets
// currentFile. On failure prints "File '%s' doesn't exist" or "Couldn't create
// file '%s'" with the hint line and exits with status 1; a folder given for
// reading is a framed error. Files the program writes as a whole go through
// openOutputFile (output_file.h) instead.
FILE* openFile(const std::string& name, const char* mode);

// Closes the stream unless it is stdin or stdout, sets it to null and empties
// currentFile.
void closeFile(FILE*& stream);

// "To get more information about options run `%s --help'.\n" on logStream.
void printHintLine();
