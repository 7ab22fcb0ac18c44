#include "core/Settings.h"

const SettingSpec kSettings[kSettingCount] = {
    //  key           saver  sheet  offered    saver bounds
    { "Count",        3,     5,     1,  50,    kNoBound, 100 },   // at most 100 groups
    { "Speed",        30,    10,    10, 100,   10, kNoBound },    // ms per frame, at least 10
    { "Stars",        100,   100,   0,  400,   kNoBound, 5000 },  // at most 5000 stars
    { "Always Log",   0,     0,     0,  0,     kNoBound, kNoBound },
    { "Append Log",   0,     0,     0,  0,     kNoBound, kNoBound },
    { "Fps",          0,     0,     0,  0,     kNoBound, kNoBound },
    { "Background",   0,     0,     0,  0,     kNoBound, kNoBound },  // not offered, not read
};

UINT ReadSaverSetting(Setting id)
{
    return AfxGetApp()->GetProfileInt(SETTINGS_SECTION, SpecOf(id).key, SpecOf(id).saverDefault);
}

UINT ReadSheetSetting(Setting id)
{
    return AfxGetApp()->GetProfileInt(SETTINGS_SECTION, SpecOf(id).key, SpecOf(id).sheetDefault);
}

void WriteSetting(Setting id, int value)
{
    AfxGetApp()->WriteProfileInt(SETTINGS_SECTION, SpecOf(id).key, value);
}
