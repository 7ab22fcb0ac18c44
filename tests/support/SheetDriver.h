// Drives the configuration sheet that CScreenSaverApp::ShowConfigSheet runs
// modally on this thread, as a person would: a thread timer fires inside the
// sheet's modal loop (and inside any message box it shows) and runs the next
// step against the sheet once the sheet is up.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SheetMessage {
    std::string text;
    bool hasIcon = false;
    bool exclamation = false;
};

class SheetDriver {
public:
    // A step returns true when it is done, false to be tried again at the
    // next tick (waiting for something to appear).
    using Step = std::function<bool(HWND sheet)>;

    // Opens the sheet, runs the steps and returns once the sheet has closed.
    // A sheet still open a while after the last step, or steps left when it
    // closes, fail the test.
    void Run(const std::vector<Step>& steps);
    // The same with the sheet opened by open (the application's dispatch).
    void Run(const std::vector<Step>& steps, const std::function<void()>& open);

    // The message boxes the sheet showed, in order.
    std::vector<SheetMessage> messages;

    // Steps.
    static Step Do(std::function<void(HWND sheet)> action);
    static Step PressOK();
    static Step PressCancel();
    static Step SelectPage(int index);
    // Waits for a message box over the sheet, records it and closes it.
    Step CloseMessageBox();

    // Helpers for steps.
    static HWND Page(HWND sheet, int index);
    static HWND Item(HWND sheet, int page, int id);
    static std::string Text(HWND hWnd);
    static int CurrentPage(HWND sheet);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    const std::vector<Step>* m_pSteps = nullptr;
    size_t m_next = 0;
    int m_ticks = 0;
    int m_ticksAfterLast = 0;
    bool m_gaveUp = false;
};

// The visible top-level "Skardel Screen Saver" sheet of this thread.
HWND FindConfigSheet();
