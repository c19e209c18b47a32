#pragma once
#include <string>

#include "base/run_settings.h"

// Reads quorvex.cfg from the working directory into runSettings.stopAfter and
// runSettings.stepsUnchanged. Never stops the program.
void readConfiguration();

// The same for any file name and settings record (readConfiguration uses
// "quorvex.cfg" and runSettings). Without the file both fields keep their
// values; with it they are first reset to 5 and 20, then set from the file.
void readConfigurationFile(const std::string& fileName, RunSettings& settings);
