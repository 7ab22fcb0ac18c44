// Which DirectX generation the machine offers, and on which Windows family.
#pragma once

#include <windows.h>

// The platform calls the probe makes. The program uses the real ones; tests
// play other machines through them.
struct DirectXProbePlatform {
    BOOL (WINAPI* GetVersionExA)(LPOSVERSIONINFOA info);
    HMODULE (WINAPI* LoadLibraryA)(LPCSTR name);
    FARPROC (WINAPI* GetProcAddress)(HMODULE module, LPCSTR name);
    BOOL (WINAPI* FreeLibrary)(HMODULE module);
    void (WINAPI* OutputDebugStringA)(LPCSTR text);
};

const DirectXProbePlatform& RealDirectXProbePlatform();

// version: 0, 0x100, 0x200, 0x300, 0x500 or 0x501 (concluded from the
// system's version alone). platform: 0 (no answer), 1 (Windows 9x family)
// or 2 (Windows NT). Both are written on every path.
void ProbeDirectXVersion(DWORD* pVersion, DWORD* pPlatform);
void ProbeDirectXVersion(const DirectXProbePlatform& platform, DWORD* pVersion, DWORD* pPlatform);
