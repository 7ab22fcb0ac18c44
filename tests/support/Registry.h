#pragma once

#include <windows.h>

#include <map>
#include <string>

#define TEST_SETTINGS_KEY "Software\\Tolmere\\Skardel Screen Saver\\Settings"

// Removes everything the program stores, so each test starts from an empty
// store.
void ClearStoredSettings();
bool KeyExists(const char* subKey);
// Number of values under the key, or -1 when the key is missing.
int CountValues(const char* subKey);
void SetRawValue(const char* name, DWORD type, const void* data, DWORD size);
void SetDwordSetting(const char* name, DWORD value);
bool ReadDwordSetting(const char* name, DWORD* value, DWORD* type);
// Every value under the settings key, by name; a value that is not a DWORD
// shows as 0xBADBAD. Empty when the key is missing.
std::map<std::string, DWORD> StoredDwordSettings();
