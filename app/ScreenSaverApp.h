// The application object: fixes where the settings live and chooses the run
// mode from the command line the screen-saver host passes.
#pragma once

#include "app/SaverPassword.h"
#include "framework/afxwin.h"

// TRUE when the argument's switch letter (after at most one leading "-" or
// "/") equals letter, ignoring case.
BOOL MatchSwitch(const char* argument, const char* letter);

// TRUE for a window of this desktop (not a message-only window, nor one of
// another desktop).
BOOL IsWindowOfThisDesktop(HWND hWnd);

// TRUE for a window the preview may fill: a window of this desktop, shown
// itself (its dialog may not be yet), other than the desktop window.
BOOL IsUsablePreviewParent(HWND hParent);

class CScreenSaverApp : public CWinApp {
public:
    CScreenSaverApp() = default;
    ~CScreenSaverApp() override = default;

    BOOL InitInstance() override;
    void ShowConfigSheet();

    // The dispatch itself, on an explicit argument vector and the system's
    // password dialogs given.
    BOOL Dispatch(int argc, char** argv, const PasswordPlatform& password = RealPasswordPlatform());

private:
    BOOL StartPreview(const char* parentHandle);
    BOOL StartSaver(const PasswordPlatform& password);
    void ChangePassword(const char* ownerHandle, const PasswordPlatform& password);
};

extern CScreenSaverApp theApp;
