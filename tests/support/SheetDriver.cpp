#include "support/SheetDriver.h"

#include "app/ScreenSaverApp.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

SheetDriver* s_pDriver = nullptr;
const UINT kTickMs = 30;
const int kMaxTicks = 600; // 18 s for the whole run

struct FindData {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
{
    FindData* data = reinterpret_cast<FindData*>(lParam);
    char cls[32] = "";
    GetClassNameA(hWnd, cls, sizeof cls);
    if (!IsWindowVisible(hWnd) || lstrcmpA(cls, "#32770") != 0 || GetWindow(hWnd, GW_OWNER) != data->owner)
        return TRUE;
    data->found = hWnd;
    return FALSE;
}

// A dialog of this thread owned by owner (null: an unowned one).
HWND FindOwnedDialog(HWND owner)
{
    FindData data = { owner, nullptr };
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

BOOL CALLBACK FindIcon(HWND hWnd, LPARAM lParam)
{
    char cls[32] = "";
    GetClassNameA(hWnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(hWnd)) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(hWnd, STM_GETICON, 0, 0));
        if (icon) {
            *reinterpret_cast<HICON*>(lParam) = icon;
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace

HWND FindConfigSheet()
{
    HWND sheet = FindOwnedDialog(nullptr);
    return sheet && SheetDriver::Text(sheet) == "Skardel Screen Saver" ? sheet : nullptr;
}

void SheetDriver::Run(const std::vector<Step>& steps)
{
    Run(steps, [] { theApp.ShowConfigSheet(); });
}

void SheetDriver::Run(const std::vector<Step>& steps, const std::function<void()>& open)
{
    m_pSteps = &steps;
    m_next = 0;
    m_ticks = 0;
    m_ticksAfterLast = 0;
    m_gaveUp = false;
    messages.clear();
    s_pDriver = this;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
    open();
    KillTimer(nullptr, timer);
    s_pDriver = nullptr;
    EXPECT_FALSE(m_gaveUp) << "the sheet did not close; gave up at step " << m_next;
    EXPECT_EQ(steps.size(), m_next) << "the sheet closed before every step ran";
    // Ticks still queued must not reach a later run.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
        ;
}

void CALLBACK SheetDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_pDriver)
        s_pDriver->OnTick();
}

void SheetDriver::OnTick()
{
    HWND sheet = FindConfigSheet();
    if (!sheet || m_gaveUp)
        return;
    if (++m_ticks > kMaxTicks || (m_next == m_pSteps->size() && ++m_ticksAfterLast > 100)) {
        // Never leave a test hanging on a sheet that stays open.
        m_gaveUp = true;
        if (HWND box = FindOwnedDialog(sheet))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return;
    }
    if (m_next >= m_pSteps->size())
        return;
    // A step may run a nested loop (a message box) in which later steps
    // run; it counts as started before it runs.
    size_t i = m_next++;
    bool done = (*m_pSteps)[i](sheet);
    if (!done && m_next == i + 1)
        m_next = i;
}

SheetDriver::Step SheetDriver::Do(std::function<void(HWND)> action)
{
    return [action](HWND sheet) {
        action(sheet);
        return true;
    };
}

SheetDriver::Step SheetDriver::PressOK()
{
    return Do([](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); });
}

SheetDriver::Step SheetDriver::PressCancel()
{
    return Do([](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); });
}

SheetDriver::Step SheetDriver::SelectPage(int index)
{
    return Do([index](HWND sheet) { SendMessageA(sheet, PSM_SETCURSEL, index, 0); });
}

SheetDriver::Step SheetDriver::CloseMessageBox()
{
    return [this](HWND sheet) {
        HWND box = FindOwnedDialog(sheet);
        if (!box)
            return false;
        SheetMessage m;
        m.text = Text(GetDlgItem(box, 0xFFFF));
        HICON icon = nullptr;
        EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
        m.hasIcon = icon != nullptr;
        m.exclamation = icon && icon == LoadIconA(nullptr, IDI_EXCLAMATION);
        messages.push_back(m);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

HWND SheetDriver::Page(HWND sheet, int index)
{
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, index, 0));
}

HWND SheetDriver::Item(HWND sheet, int page, int id)
{
    return GetDlgItem(Page(sheet, page), id);
}

std::string SheetDriver::Text(HWND hWnd)
{
    char text[256] = "";
    GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

int SheetDriver::CurrentPage(HWND sheet)
{
    return static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX,
                                         SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0));
}
