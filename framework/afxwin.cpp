#include "afxwin.h"
#include "afxmt.h"
#include "afxreg.h"

#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <vector>

namespace {

// The handle-to-object map, shared by every thread of the process.
CCriticalSection& MapLock()
{
    static CCriticalSection lock;
    return lock;
}
std::map<HWND, CWnd*>& PermanentMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}
// Wrappers made by FromHandle for windows this program did not make; they
// live until the program ends and never destroy the window they wrap.
struct ForgetWindow {
    void operator()(CWnd* pWnd) const
    {
        pWnd->m_hWnd = nullptr;
        delete pWnd;
    }
};
std::map<HWND, std::unique_ptr<CWnd, ForgetWindow>>& TemporaryMap()
{
    static std::map<HWND, std::unique_ptr<CWnd, ForgetWindow>> map;
    return map;
}

// The object whose window CreateEx is making on this thread; the window's
// first message attaches it.
thread_local CWnd* t_pWndInit = nullptr;

// The message being handled on this thread, for CWnd::Default.
struct CurrentMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage t_current = {};

CWinApp* g_pApp = nullptr;

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CObject)

CWnd::~CWnd()
{
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    CSingleLock lock(MapLock());
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    CSingleLock lock(MapLock());
    auto& temp = TemporaryMap()[hWnd];
    if (!temp) {
        temp.reset(new CWnd);
        temp->m_hWnd = hWnd;
    }
    return temp.get();
}

void CWnd::Attach(HWND hWnd)
{
    // Into the map first: an insertion that finds no memory leaves the
    // object as it was.
    CSingleLock lock(MapLock());
    PermanentMap()[hWnd] = this;
    m_hWnd = hWnd;
}

void CWnd::Detach()
{
    CSingleLock lock(MapLock());
    PermanentMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (!m_pfnSuper) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    t_pWndInit = this;
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    bool neverAttached = (t_pWndInit == this);
    t_pWndInit = nullptr;
    // A window destroyed while it was being made (its parent went meanwhile)
    // is no window: its object has been through PostNcDestroy already.
    if (hWnd && !::IsWindow(hWnd))
        return FALSE;
    if (!hWnd) {
        // A window that got as far as its first message has been through
        // WM_NCDESTROY and PostNcDestroy already (an auto-deleting object
        // is gone by now); one that never did is cleaned up the same way.
        if (neverAttached)
            PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, nullptr, 0 } };
    static const AFX_MSGMAP map = { nullptr, entries };
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND && (LOWORD(wParam) != e->nID || HIWORD(wParam) != 0))
                continue;
            if (message == WM_NOTIFY) {
                const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
                if (pHdr->idFrom != e->nID || pHdr->code != e->nCode)
                    continue;
            }
            *pResult = e->pfn(this, wParam, lParam);
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

void CWnd::PostNcDestroy()
{
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(lpRect) + 1);
}

CWnd* CWnd::GetParent() const
{
    return CWnd::FromHandle(::GetParent(m_hWnd));
}

void AfxTraceHandlerException(UINT message, const char* what)
{
    char text[160];
    snprintf(text, sizeof text, "Exception in the handler of window message 0x%04X: %s\r\n", message,
             what ? what : "");
    ::OutputDebugStringA(text);
}

namespace {

LRESULT CallWindowProcSafely(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CurrentMessage saved = t_current;
    t_current = { hWnd, message, wParam, lParam };
    // A window whose creation message failed is not made; any other message
    // that failed is dropped.
    LRESULT result = AfxCallHandler(message, message == WM_CREATE ? -1 : 0,
                                    [&] { return pWnd->WindowProc(message, wParam, lParam); });
    t_current = saved;
    return result;
}

} // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    // The object that CreateEx is making on this thread takes the window at
    // its first message. The map may find no memory for it: the message
    // then goes to the system's defaults, the next one tries again, and
    // WM_NCCREATE fails the creation (CreateEx then cleans up the object).
    if (!pWnd && t_pWndInit) {
        CWnd* pInit = t_pWndInit;
        if (AfxCallHandler(message, FALSE, [&] { pInit->Attach(hWnd); return TRUE; })) {
            t_pWndInit = nullptr;
            pWnd = pInit;
        } else if (message == WM_NCCREATE) {
            return FALSE;
        }
    }
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    ++pWnd->m_nHandlerDepth;
    if (message == WM_DESTROY)
        pWnd->m_bDestroySeen = true;
    // Some platforms tear down a window whose creation failed with
    // WM_NCDESTROY alone; the destroy handlers still have to release what
    // creation made.
    if (message == WM_NCDESTROY && !pWnd->m_bDestroySeen) {
        pWnd->m_bDestroySeen = true;
        CallWindowProcSafely(pWnd, hWnd, WM_DESTROY, 0, 0);
    }
    LRESULT result = CallWindowProcSafely(pWnd, hWnd, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == pWnd) {
            pApp->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        pWnd->Detach();
        pWnd->m_bNcDestroyed = true;
    }
    // A window can be destroyed from inside one of its own handlers (by
    // another thread's request answered while the handler waits): the object
    // is let go only once the outermost handler has returned.
    if (--pWnd->m_nHandlerDepth == 0 && pWnd->m_bNcDestroyed) {
        pWnd->m_bNcDestroyed = false;
        pWnd->PostNcDestroy();
    }
    return result;
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    DestroyMenu();
    m_hMenu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
    return m_hMenu != nullptr;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    BOOL done = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return done;
}

HWND AfxGetTopLevelWindow(HWND hWnd)
{
    // A child's parent is its parent window; a top-level window's is its
    // owner, which is where the walk stops.
    while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) {
        HWND hParent = ::GetParent(hWnd);
        if (!hParent)
            break;
        hWnd = hParent;
    }
    return hWnd;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    thread_local char name[96];
    HINSTANCE hInst = AfxGetInstanceHandle();
    snprintf(name, sizeof name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
             static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
             static_cast<void*>(hIcon));
    WNDCLASSA wc = {};
    if (::GetClassInfoA(hInst, name, &wc))
        return name;
    wc.style = nClassStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc))
        AfxThrowResourceException();
    return name;
}

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    int rc;
    while ((rc = ::GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (rc == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ExitInstance();
    return rc == -1 ? -1 : static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName ? m_pszAppName : "";
    m_pszProfileName = m_strProfileName;
}

BOOL CWinApp::GetSectionKey(LPCSTR lpszSection, CRegistryKey& key)
{
    if (!m_pszRegistryKey || !*m_pszRegistryKey || !m_pszProfileName || !lpszSection)
        return FALSE;
    CString path;
    path.Format("Software\\%s\\%s\\%s", m_pszRegistryKey, m_pszProfileName, lpszSection);
    return key.Create(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    CRegistryKey key;
    if (!GetSectionKey(lpszSection, key))
        return static_cast<UINT>(nDefault);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    LONG rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    // A shorter value would leave part of the number unset: only whole
    // 4-byte values count.
    if (rc != ERROR_SUCCESS || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    CRegistryKey key;
    if (!GetSectionKey(lpszSection, key))
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    return ::RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

BOOL AfxWinInit(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return FALSE;
    pApp->m_hInstance = hInstance;
    if (!pApp->m_pszAppName) {
        char title[256] = "";
        ::LoadStringA(hInstance, CWinApp::AFX_IDS_APP_TITLE, title, sizeof title);
        pApp->m_strAppName = title;
        pApp->m_pszAppName = pApp->m_strAppName;
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!AfxWinInit(hInstance))
        return -1;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
