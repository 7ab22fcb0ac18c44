#include "config/HyperlinkWnd.h"

#include "framework/afxreg.h"
#include "res/resource.h"

#include <cstring>
#include <vector>

namespace {

const UINT_PTR kHoverTimer = 9999;
const UINT kHoverMs = 20;
const COLORREF kBlue = RGB(0, 0, 255);

// Where Windows Vista and later keep the user's choice of program for a
// scheme, as a ProgId below HKEY_CLASSES_ROOT. HKEY_CLASSES_ROOT\<scheme>
// itself holds whatever program registered there last.
const char kUserChoice[] = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
const char kOpenCommand[] = "\\shell\\open\\command";

// A text value of the key path below root, empty when it cannot be read;
// false when the key cannot be opened.
bool ReadText(HKEY root, const CString& path, const char* name, CString& text)
{
    // Reading is all it needs; an ordinary user may not write below
    // HKEY_CLASSES_ROOT, and asking to would open nothing.
    CRegistryKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return false;
    std::vector<char> value(2048, '\0');
    DWORD size = static_cast<DWORD>(value.size() - 1);
    if (key.QueryValue(value.data(), name, &size) != ERROR_SUCCESS)
        value.assign(value.size(), '\0');
    text = value.data();
    return true;
}

// uxtheme.dll came with visual styles in Windows XP; Windows 95, 98, NT 4
// and 2000 have none, so it is looked for at run time. (Microsoft's reference
// page for DrawThemeParentBackground now names Windows Vista and Server 2003
// as the oldest systems it covers; its "Enabling Visual Styles" page places
// visual styles, and so uxtheme.dll, at Windows XP and later.)
using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);

DrawThemeParentBackgroundFn ThemeParentBackground()
{
    static const DrawThemeParentBackgroundFn pfn = [] {
        HMODULE hTheme = AfxLoadSystemLibrary("uxtheme.dll");
        return hTheme ? reinterpret_cast<DrawThemeParentBackgroundFn>(
                            reinterpret_cast<void*>(::GetProcAddress(hTheme, "DrawThemeParentBackground")))
                      : nullptr;
    }();
    return pfn;
}

} // namespace

BEGIN_MESSAGE_MAP(CHyperlinkWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUIState)
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

BOOL CHyperlinkWnd::Create(CString text, CString link, const RECT& rect, int alignment, CWnd* pParent, UINT nID,
                           UINT nCursorId, UINT nMenuId)
{
    m_strText = text;
    m_strLink = link;
    m_nAlignment = alignment;
    m_nCursorId = nCursorId;
    m_nMenuId = nMenuId;
    LPCSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    // A screen reader names the focused link by its window text.
    return CreateEx(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParent ? pParent->GetSafeHwnd() : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

int CHyperlinkWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_font.CreatePointFont(80, "MS Sans Serif");
    CalcTextRect();
    m_nTimer = ::SetTimer(m_hWnd, kHoverTimer, kHoverMs, nullptr);
    return 0;
}

void CHyperlinkWnd::CalcTextRect()
{
    RECT window;
    GetWindowRect(&window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    SIZE size = {};
    {
        CDCSelection font(dc, m_font);
        GetTextExtentPoint32A(dc, m_strText, m_strText.GetLength(), &size);
    }
    // Signed halving: a centred text wider than the window starts left of it.
    int x = m_nAlignment == 1 ? (w - size.cx) / 2 : m_nAlignment == 2 ? w - size.cx : 0;
    int y = (h - size.cy) / 2;
    m_rcText = { x, y, x + size.cx, y + size.cy };
}

void CHyperlinkWnd::DrawPageBeneath(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    DrawThemeParentBackgroundFn pfnDraw = ThemeParentBackground();
    if (pfnDraw && SUCCEEDED(pfnDraw(m_hWnd, hDC, &client)))
        return;
    // The colour the page gives its static texts.
    HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(::GetParent(m_hWnd), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(m_hWnd)));
    FillRect(hDC, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void CHyperlinkWnd::OnPaint()
{
    CPaintDC dc(this);
    // What the page shows beneath comes first: a line in button face would
    // stay on a themed page, and a smoothed text drawn over itself at each
    // hover change would grow bolder.
    DrawPageBeneath(dc);
    // The system's dotted rectangle a pixel wider than the text on each side,
    // in the paint context's own colours (before the text's). Until the
    // keyboard is used Windows 2000 and later may hide it; earlier systems
    // answer 0.
    if (::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS)) {
        RECT around = { m_rcText.left - 1, m_rcText.top, m_rcText.right + 1, m_rcText.bottom };
        DrawFocusRect(dc, &around);
    }
    CDCSelection font(dc, m_font);
    if (m_bHover) {
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, kBlue);
        CDCSelection line(dc, pen);
        MoveToEx(dc, m_rcText.left, m_rcText.bottom - 1, nullptr);
        LineTo(dc, m_rcText.right, m_rcText.bottom - 1);
    }
    // The paint context is the window's for this paint alone: its mode and
    // colour need no restoring.
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, PALETTERGB(0, 0, 255));
    TextOutA(dc, m_rcText.left, m_rcText.top, m_strText, m_strText.GetLength());
}

void CHyperlinkWnd::OnMouseMove(UINT, POINT point)
{
    if (m_nCursorId && OverText(point))
        SetCursor(LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nCursorId)));
    Default();
}

BOOL CHyperlinkWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    POINT pos;
    GetCursorPos(&pos);
    ::ScreenToClient(m_hWnd, &pos);
    if (OverText(pos))
        return TRUE;
    return static_cast<BOOL>(Default());
}

void CHyperlinkWnd::OnLButtonDown(UINT, POINT point)
{
    if (OverText(point))
        OpenLink();
    Default();
}

void CHyperlinkWnd::OnContextMenu(CWnd*, POINT pos)
{
    if (!m_nMenuId)
        return;
    CMenu menu;
    if (!menu.LoadMenu(m_nMenuId))
        return;
    // From the keyboard (Shift+F10, the menu key) there is no point: the
    // menu opens just below the text.
    if (pos.x == -1 && pos.y == -1) {
        pos = { m_rcText.left, m_rcText.bottom };
        MapWindowPoints(m_hWnd, nullptr, &pos, 1);
    }
    // The sheet owns the menu, as it owns everything else of the page.
    HWND owner = AfxGetTopLevelWindow(m_hWnd);
    UINT command = TrackPopupMenu(menu.GetSubMenu(0), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                  pos.x, pos.y, 0, owner, nullptr);
    if (command == ID_COPY_URL)
        CopyLinkToClipboard();
}

BOOL CHyperlinkWnd::CopyLinkToClipboard()
{
    if (!OpenClipboard(m_hWnd))
        return FALSE;
    BOOL copied = FALSE;
    const SIZE_T length = static_cast<SIZE_T>(m_strLink.GetLength());
    CGlobalBlock block;
    if (EmptyClipboard() && block.Alloc(GMEM_MOVEABLE | GMEM_DDESHARE, length + 1)) {
        if (char* text = static_cast<char*>(GlobalLock(block))) {
            memcpy(text, static_cast<const char*>(m_strLink), length + 1);
            GlobalUnlock(block);
            // The clipboard owns what it took; a block it refused is still ours.
            copied = SetClipboardData(CF_TEXT, block) != nullptr;
            if (copied)
                block.Detach();
        }
    }
    CloseClipboard();
    return copied;
}

void CHyperlinkWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHoverTimer) {
        POINT pos;
        GetCursorPos(&pos);
        ::ScreenToClient(m_hWnd, &pos);
        bool hover = OverText(pos);
        if (hover != m_bHover) {
            m_bHover = hover;
            InvalidateRect(m_hWnd, nullptr, FALSE);
            UpdateWindow(m_hWnd);
        }
    }
    Default();
}

// The focus rectangle comes and goes with the focus, and with the keyboard's
// first use (WM_UPDATEUISTATE shows the rectangles then).
void CHyperlinkWnd::OnSetFocus(CWnd*)
{
    Default();
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CHyperlinkWnd::OnKillFocus(CWnd*)
{
    Default();
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CHyperlinkWnd::OnUpdateUIState(WPARAM, LPARAM)
{
    LRESULT result = Default();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return result;
}

// Return on a focused link opens it instead of pressing the dialog's default
// button; Escape and Tab still reach the dialog. (The dialog manager may ask
// without a message.)
UINT CHyperlinkWnd::OnGetDlgCode(const MSG* pMsg)
{
    return pMsg && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
}

void CHyperlinkWnd::OnKeyDown(UINT nChar, UINT, UINT nFlags)
{
    // A key held down opens the link once, not at every repeat.
    if ((nChar == VK_RETURN || nChar == VK_SPACE) && !(nFlags & KF_REPEAT))
        OpenLink();
    Default();
}

void CHyperlinkWnd::OnDestroy()
{
    Default();
    if (m_nTimer) {
        KillTimer(m_hWnd, m_nTimer);
        m_nTimer = 0;
    }
}

CString CHyperlinkWnd::SchemeOf(const CString& link)
{
    int colon = link.Find(':');
    return colon <= 0 ? CString("http") : link.Left(colon);
}

CString CHyperlinkWnd::BuildCommand(const CString& command, const CString& link)
{
    int at = command.Find("%1");
    if (at >= 0)
        return command.Left(at) + link;
    return command + " " + link;
}

void CHyperlinkWnd::OpenLink()
{
    // The user's choice counts when its ProgId has a command (a packaged
    // program's has none); otherwise the scheme's own command is taken, as
    // on Windows 95 to XP, which have no such choice.
    const CString scheme = SchemeOf(m_strLink);
    CString progId, value;
    const bool chosen = ReadText(HKEY_CURRENT_USER, kUserChoice + scheme + "\\UserChoice", "ProgId", progId) &&
                        !progId.IsEmpty() && ReadText(HKEY_CLASSES_ROOT, progId + kOpenCommand, "", value) &&
                        !value.IsEmpty();
    if (!chosen && !ReadText(HKEY_CLASSES_ROOT, scheme + kOpenCommand, "", value))
        return;

    CString command = BuildCommand(value, m_strLink);
    std::vector<char> line(static_cast<const char*>(command), static_cast<const char*>(command) + command.GetLength() + 1);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                        &si, &pi))
        return;
    // Nothing waits for the handler: its handles are given back at once.
    CHandle process(pi.hProcess), thread(pi.hThread);
}
