#pragma once

#include <string>
#include <vector>

// The lines a successful display set-up records, with the hardware figures
// this machine's DirectDraw reports and the given display mode.
std::vector<std::string> ExpectedStartupLines(int width, int height, int depth);
// The same lines up to and including the platform line.
std::vector<std::string> ExpectedLinesToPlatform();
// The four hardware-caps lines.
std::vector<std::string> ExpectedCapsLines(int width, int height, int depth);
