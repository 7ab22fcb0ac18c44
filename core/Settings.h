// The persisted settings: one registry section of the current user, read
// with CWinApp::GetProfileInt whenever a value is needed and written only by
// the configuration sheet. This table is the one place that names them, with
// the default each reader uses (the saver's and the sheet's differ for two),
// what the sheet offers and where the saver bounds a hand-edited value.
#pragma once

#include "framework/afxwin.h"

#define SETTINGS_SECTION "Settings"

enum class Setting { Count, Speed, Stars, AlwaysLog, AppendLog, Fps, Background };
const int kSettingCount = 7;

struct SettingSpec {
    const char* key;
    int saverDefault;  // when the saver or the preview reads it
    int sheetDefault;  // when the configuration sheet reads it
    int sheetMin;      // the range the sheet offers (0, 0 when not a range)
    int sheetMax;
    int saverMin;      // the saver's bounds on a hand-edited value
    int saverMax;      // (kNoBound where there is none)
};

const int kNoBound = -1;

extern const SettingSpec kSettings[kSettingCount];

inline const SettingSpec& SpecOf(Setting id)
{
    return kSettings[static_cast<int>(id)];
}

// The stored value, or the reader's default when there is none.
UINT ReadSaverSetting(Setting id);
UINT ReadSheetSetting(Setting id);
void WriteSetting(Setting id, int value);
