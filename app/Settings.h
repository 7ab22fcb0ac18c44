// The persisted settings: one registry section of the current user, read
// with CWinApp::GetProfileInt whenever a value is needed.
#pragma once

#define SETTINGS_SECTION "Settings"
#define SETTING_COUNT "Count"
#define SETTING_SPEED "Speed"
#define SETTING_STARS "Stars"
#define SETTING_ALWAYS_LOG "Always Log"
#define SETTING_APPEND_LOG "Append Log"
#define SETTING_FPS "Fps"
#define SETTING_BACKGROUND "Background"
