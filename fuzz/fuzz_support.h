#pragma once
#include <cstddef>
#include <cstdint>

#include "xml/xml_tree.h"

// What the fuzz targets share. The program ends on a fatal error; here one
// input's fatal error ends only that input, so that the next one runs in the
// same process.

// Thrown by the fatal-exit handler of the fuzz build in place of exit().
struct FatalStop {
    int status;
};

// Once per process: installs the throwing fatal-exit handler and sends the
// log (and every framed message) to /dev/null, or to standard error when
// QUORVEX_FUZZ_LOG is set (to read the message of a reproduced input).
void prepareFuzzProcess();

// Per input: the state a fatal error may leave behind (the name of the open
// file) is reset, so no input sees what the one before it left.
void prepareFuzzInput();

// Parses the bytes as one document into root (handed in empty), read from a
// memory stream like from a file. Throws FatalStop on a refused document.
// The file stays named in currentFile, as while the program reads what it
// parsed; the caller clears it where the program closes the file.
void parseBytes(const std::uint8_t* data, std::size_t size, XML::Elements& root);
