#pragma once

// Reads quorvex.cfg from the working directory into runSettings.stopAfter and
// runSettings.stepsUnchanged. Never stops the program.
void readConfiguration();
