#pragma once
#include <cstdio>
#include <string>

// A file the program writes (the solution, the result of -r) such that it is
// either written completely or not at all. A regular file is written to a
// temporary file in the same folder, which replaces it only once everything
// is flushed to the disk: an interrupt, a full disk or a crash while writing
// leaves the previous file as it was. "-" is standard output, written
// directly; so is an existing file that is not a regular file (a device, a
// pipe), and a file in a folder where no temporary file can be made.
struct OutputFile {
    std::string name;       // as given; messages name it
    std::string target;     // the path the temporary file is renamed to
    std::string temporary;  // empty when writing directly
    FILE* stream = nullptr;
};

// Opens the output and sets currentFile. When it cannot be opened, prints
// "Couldn't create file '%s'" with the hint line and exits with status 1.
OutputFile openOutputFile(const std::string& name);

// Flushes and closes the output, then puts the temporary file in place and
// empties currentFile. A failed write (a full disk, a closed pipe) ends the
// run like a file that could not be created, with the temporary file removed
// and the previous file untouched.
void finishOutputFile(OutputFile& file);

// Stops the run as openOutputFile would ("Couldn't create file '%s'", the
// hint line, status 1) when the output could not be written, so that a long
// search is not run for a timetable that could not be saved. Changes nothing.
void checkOutputCanBeCreated(const std::string& name);
