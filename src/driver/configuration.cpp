#include "driver/configuration.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <utility>
#include <vector>

#include "base/log.h"
#include "base/read_number.h"

namespace {
const char* const configurationName = "quorvex.cfg";

using KeyTable = std::vector<std::pair<const char*, int*>>;

// Drops a comment, then every white-space character anywhere in the text,
// so "STOP AFTER = 1 0" reads as "STOPAFTER=10".
std::string significantText(const char* piece) {
    std::string text;
    for (const char* c = piece; *c && *c != '#'; ++c)
        if (!std::isspace(static_cast<unsigned char>(*c))) text += *c;
    return text;
}

// Applies one line; false when the line is in error.
bool applyLine(const std::string& text, const KeyTable& keys) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    std::string key = text.substr(0, equals);
    std::string value = text.substr(equals + 1);
    for (const auto& [name, field] : keys)
        if (strcasecmp(key.c_str(), name) == 0) return readNumber(value.c_str(), *field);
    return false;
}
}  // namespace

void readConfigurationFile(const std::string& fileName, RunSettings& settings) {
    FILE* file = std::fopen(fileName.c_str(), "r");
    if (!file) {
        if (settings.verbosity >= 10) logPrint("No configuration file (%s)\n", fileName.c_str());
        return;
    }
    if (settings.verbosity >= 10) logPrint("Reading configuration file: %s\n", fileName.c_str());

    KeyTable keys;
    keys.emplace_back("STOPAFTER", &settings.stopAfter);
    settings.stopAfter = 5;
    keys.emplace_back("STEPSUNCHANGED", &settings.stepsUnchanged);
    settings.stepsUnchanged = 20;

    // A line longer than the buffer arrives in pieces; each piece counts as a
    // line of its own.
    char piece[4096];
    int line = 0;
    int firstErrorLine = 0;
    for (;;) {
        ++line;
        if (!std::fgets(piece, sizeof piece, file) || piece[0] == '\0') break;
        // A byte order mark that an editor put in front of the first key.
        const bool marked = line == 1 && std::strncmp(piece, "\xEF\xBB\xBF", 3) == 0;
        std::string text = significantText(piece + (marked ? 3 : 0));
        if (text.empty()) continue;
        if (!applyLine(text, keys) && firstErrorLine == 0) firstErrorLine = line;
    }
    std::fclose(file);
    if (firstErrorLine != 0 && settings.verbosity >= 10)
        logPrint("Error while reading configuration file in line %d\n", firstErrorLine);
}

void readConfiguration() { readConfigurationFile(configurationName, runSettings); }
