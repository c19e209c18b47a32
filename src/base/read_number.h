#pragma once

// Reads a decimal integer the way the option values and configuration values
// are read: optional leading blanks and sign, then digits; anything after the
// number is ignored. Returns false, leaving value unchanged, when the text
// does not start with a number or the number does not fit in an int.
bool readNumber(const char* text, int& value);
