#include "support/StartupLog.h"

#include <ddraw.h>

std::vector<std::string> ExpectedLinesToPlatform()
{
    return { "Program Version: 1, 1, 2, 0", "Creating main window", "Starting DirectDraw Initialisation...",
             "Direct Draw version 0501", "Platform: Windows NT" };
}

std::vector<std::string> ExpectedCapsLines(int width, int height, int depth)
{
    IDirectDraw* dd = nullptr;
    DirectDrawCreate(nullptr, &dd, nullptr);
    DDCAPS caps = {};
    caps.dwSize = sizeof caps;
    dd->GetCaps(&caps, nullptr);
    dd->Release();
    return { "Hardware Caps - Total video memory = " + std::to_string(static_cast<int>(caps.dwVidMemTotal)),
             "Hardware Caps - Free video memory = " + std::to_string(static_cast<int>(caps.dwVidMemFree)),
             std::string("Hardware Caps - Wide Surfaces: ") +
                 ((caps.dwCaps2 & DDCAPS2_WIDESURFACES) ? "Supported" : "Not Supported"),
             "Hardware Caps - Screen Resolution: " + std::to_string(width) + " x " + std::to_string(height) +
                 " x " + std::to_string(depth) };
}

std::vector<std::string> ExpectedStartupLines(int width, int height, int depth)
{
    std::vector<std::string> lines = ExpectedLinesToPlatform();
    for (const std::string& l : ExpectedCapsLines(width, height, depth))
        lines.push_back(l);
    lines.push_back("Finished DirectDraw Initialisation");
    return lines;
}
