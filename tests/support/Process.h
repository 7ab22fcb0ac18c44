#pragma once

#include <windows.h>

#include <string>

struct ProcessResult {
    bool started = false;
    bool exited = false;       // ended within the time allowed
    DWORD exitCode = 0;
    DWORD elapsedMs = 0;
    int windowsSeen = 0;       // most top-level windows of the process seen at once
};

// Runs a program with the given command line and watches its windows until
// it ends or timeoutMs passes (then it is killed).
ProcessResult RunProcess(const std::string& commandLine, DWORD timeoutMs);

// The built Skardel.scr the tests run (from the SKARDEL_SCR environment).
std::string BuiltScreenSaver();
std::string EnvironmentValue(const char* name);
// A host path as Wine's programs see it (drive Z:); other paths unchanged.
std::string WindowsPath(const std::string& path);
