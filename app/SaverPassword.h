// The screen-saver password of Windows 95, 98 and Me, which those systems
// leave to the saver: the user's setting, and the system's own dialogs for
// giving and changing it. (Windows NT and later lock the session themselves
// and ignore all of this.) The saver never sees, stores or compares a
// password.
#pragma once

#include "framework/afxwin.h"

enum class PasswordCheck { Given, Refused, Unchecked };

// The system as the password needs it. The program uses the real one; tests
// play other systems through it.
struct PasswordPlatform {
    // VER_PLATFORM_WIN32_WINDOWS on Windows 95, 98 and Me.
    DWORD (*PlatformId)();
    // The system's dialog asking for the password (PASSWORD.CPL's
    // VerifyScreenSavePwd), owned by owner. Unchecked where the system has
    // none, with why in *why.
    PasswordCheck (*Verify)(HWND owner, const char** why);
    // The system's dialog changing the saver's password (MPR.DLL's
    // PwdChangePasswordA for "SCRSAVE"), owned by owner.
    void (*Change)(HWND owner);
};

const PasswordPlatform& RealPasswordPlatform();

// Whether the full-screen saver asks for the password before it ends: on
// Windows 95, 98 and Me, when "Password protected" is ticked in the display
// settings.
BOOL SaverAsksForPassword(const PasswordPlatform& platform);
