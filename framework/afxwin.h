// Windows, message maps and the application object.
//
// A CWnd is its HWND plus a message map. Every window made through
// CWnd::CreateEx runs AfxWndProc, which finds the object in the handle map
// and routes the message through CWnd::WindowProc to the first entry for it
// in the class's map or, failing that, in its bases' maps.
#pragma once

#include "afx.h"
#include "afxgdi.h"

#include <exception>
#include <new>

class CWnd;
class CRegistryKey;

// The signed point packed in a mouse message's LPARAM.
inline POINT AfxPoint(LPARAM lParam)
{
    return POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
}

typedef LRESULT (*AFX_MSGHANDLER)(CWnd* pWnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nID;       // command or control identifier of a WM_COMMAND or WM_NOTIFY entry, else 0
    AFX_MSGHANDLER pfn;
    UINT nCode;     // notification code of a WM_NOTIFY entry, else 0
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                          \
public:                                                \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                   \
            { 0, 0, nullptr, 0 } };                                            \
        static const AFX_MSGMAP map = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &map;                                                        \
    }

#define ON_WM_CREATE()                                                                  \
    { WM_CREATE, 0, [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {                           \
          return static_cast<ThisClass*>(w)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l)); }, 0 },

#define ON_WM_DESTROY()                                             \
    { WM_DESTROY, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {        \
          static_cast<ThisClass*>(w)->OnDestroy(); return 0; }, 0 },

#define ON_WM_PAINT()                                             \
    { WM_PAINT, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {        \
          static_cast<ThisClass*>(w)->OnPaint(); return 0; }, 0 },

#define ON_WM_TIMER()                                               \
    { WM_TIMER, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {       \
          static_cast<ThisClass*>(w)->OnTimer(static_cast<UINT_PTR>(wp)); return 0; }, 0 },

#define ON_WM_MOUSEMOVE()                                                               \
    { WM_MOUSEMOVE, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                    \
          static_cast<ThisClass*>(w)->OnMouseMove(static_cast<UINT>(wp), AfxPoint(lp)); return 0; }, 0 },

#define ON_WM_LBUTTONDOWN()                                                             \
    { WM_LBUTTONDOWN, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                  \
          static_cast<ThisClass*>(w)->OnLButtonDown(static_cast<UINT>(wp), AfxPoint(lp)); return 0; }, 0 },

#define ON_WM_SETCURSOR()                                                               \
    { WM_SETCURSOR, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                    \
          return static_cast<ThisClass*>(w)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wp)), \
                                                          LOWORD(lp), HIWORD(lp)); }, 0 },

#define ON_WM_CONTEXTMENU()                                                             \
    { WM_CONTEXTMENU, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                  \
          static_cast<ThisClass*>(w)->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wp)), \
                                                     AfxPoint(lp)); return 0; }, 0 },

#define ON_WM_SETFOCUS()                                                                \
    { WM_SETFOCUS, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                         \
          static_cast<ThisClass*>(w)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wp))); return 0; }, 0 },

#define ON_WM_KILLFOCUS()                                                               \
    { WM_KILLFOCUS, 0, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {                        \
          static_cast<ThisClass*>(w)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wp))); return 0; }, 0 },

// The message the dialog manager asks about, when it names one.
#define ON_WM_GETDLGCODE()                                                              \
    { WM_GETDLGCODE, 0, [](CWnd* w, WPARAM, LPARAM lp) -> LRESULT {                       \
          return static_cast<ThisClass*>(w)->OnGetDlgCode(reinterpret_cast<const MSG*>(lp)); }, 0 },

// nFlags: the high word of lParam (KF_REPEAT for a key held down).
#define ON_WM_KEYDOWN()                                                                 \
    { WM_KEYDOWN, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {                       \
          static_cast<ThisClass*>(w)->OnKeyDown(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0; }, 0 },

// Any message, its handler taking and answering it whole.
#define ON_MESSAGE(message, memberFxn)                                          \
    { (message), 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {               \
          return static_cast<ThisClass*>(w)->memberFxn(wp, lp); }, 0 },

// A notification from control id; the handler sets the result.
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                       \
    { WM_NOTIFY, static_cast<UINT>(id), [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {  \
          LRESULT result = 0;                                                        \
          static_cast<ThisClass*>(w)->memberFxn(reinterpret_cast<NMHDR*>(l), &result); \
          return result; }, static_cast<UINT>(wNotifyCode) },

// A menu or control command with no notification code.
#define ON_COMMAND(id, memberFxn)                                  \
    { WM_COMMAND, (id), [](CWnd* w, WPARAM, LPARAM) -> LRESULT {    \
          static_cast<ThisClass*>(w)->memberFxn(); return 0; }, 0 },

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to the window, or a wrapper that lives until the
    // program ends for a window this program did not make.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL DestroyWindow();
    // Routes an existing window's messages through this object (a dialog's
    // control); it lets go of the window when the window is destroyed.
    BOOL SubclassWindow(HWND hWnd);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (WM_NCDESTROY); windows that delete
    // themselves do it here.
    virtual void PostNcDestroy();

    // The platform's default processing of the message being handled.
    LRESULT Default();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ScreenToClient(LPRECT lpRect) const;
    CWnd* GetParent() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    { return ::PostMessageA(m_hWnd, message, wParam, lParam); }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void Attach(HWND hWnd);
    void Detach();
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    bool m_bDestroySeen = false;
    int m_nHandlerDepth = 0;      // handlers of this window now running on the stack
    bool m_bNcDestroyed = false;  // gone, PostNcDestroy waiting for the outermost handler
    WNDPROC m_pfnSuper = nullptr; // the window's own procedure, for a subclassed window
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Calls fn. Nothing it throws unwinds out of here: report(what it was) is
// called instead, and FALSE returned. For the code the system calls (window
// and dialog procedures, threads): the 32-bit compiler's unwind tables
// cannot cross the system's frames, so an exception would end the program
// there.
template <class Fn, class Report>
BOOL AfxCallCatchingAll(Fn fn, Report report)
{
    try {
        fn();
        return TRUE;
    } catch (const CMemoryException&) {
        report("CMemoryException");
    } catch (const CResourceException&) {
        report("CResourceException");
    } catch (const CException&) {
        report("CException");
    } catch (const std::bad_alloc&) {
        report("std::bad_alloc");
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("an exception of unknown type");
    }
    return FALSE;
}

// Tells the debugger that a handler of message ended with an exception.
void AfxTraceHandlerException(UINT message, const char* what);

// Runs a window's or a dialog's handler and returns what it returns; after
// an exception the debugger is told what it was and failed is returned (a
// creation that fails, a message dropped).
template <class Handler>
LRESULT AfxCallHandler(UINT message, LRESULT failed, Handler handler)
{
    LRESULT result = failed;
    AfxCallCatchingAll([&] { result = handler(); },
                       [message](const char* what) { AfxTraceHandlerException(message, what); });
    return result;
}

// The top-level window that hWnd is, or is a child of: what GetAncestor
// gives with GA_ROOT, which Windows 95 and NT 4 before its fourth service
// pack do not have.
HWND AfxGetTopLevelWindow(HWND hWnd);

// A menu loaded from the program's resources, destroyed with the object.
class CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override { DestroyMenu(); }

    operator HMENU() const { return m_hMenu; }
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    // The pop-up at that place, which stays this menu's.
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }

private:
    HMENU m_hMenu = nullptr;
};

// A block of global memory, freed with the object unless someone else (the
// clipboard) took it: Detach then.
class CGlobalBlock : public CObject {
public:
    ~CGlobalBlock() override
    {
        if (m_hBlock)
            ::GlobalFree(m_hBlock);
    }
    BOOL Alloc(UINT nFlags, SIZE_T nBytes)
    {
        if (m_hBlock)
            ::GlobalFree(m_hBlock);
        m_hBlock = ::GlobalAlloc(nFlags, nBytes);
        return m_hBlock != nullptr;
    }
    operator HGLOBAL() const { return m_hBlock; }
    HGLOBAL Detach()
    {
        HGLOBAL h = m_hBlock;
        m_hBlock = nullptr;
        return h;
    }

private:
    HGLOBAL m_hBlock = nullptr;
};

// The device context of a WM_PAINT handler: painting begins with it and ends
// with it, which validates the window.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
    ~CPaintDC() override
    {
        ::EndPaint(m_hWnd, &m_ps);
        m_hDC = nullptr;
    }

private:
    PAINTSTRUCT m_ps;
    HWND m_hWnd;
};

// Registers (once) a window class running AfxWndProc with these attributes
// and returns its name. Throws CResourceException when registration fails.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                           HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

class CWinApp : public CObject {
public:
    // Without a name the application takes string resource AFX_IDS_APP_TITLE.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    enum { AFX_IDS_APP_TITLE = 0xE000 };

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszProfileName = nullptr;

    BOOL Enable3dControlsStatic() { return TRUE; }
    // Profile values live under HKCU\Software\<key>\<application name>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // The 4-byte value stored under section\entry, or nDefault when there is
    // none (or no registry key was set). Creates the section's key path.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);

private:
    HINSTANCE m_hInstance = nullptr;
    BOOL GetSectionKey(LPCSTR lpszSection, CRegistryKey& key);
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
    friend BOOL AfxWinInit(HINSTANCE hInstance);
    friend HINSTANCE AfxGetInstanceHandle();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();

// Fixes the instance handle and the application's name; AfxWinMain calls it,
// and test programs that use the application object call it themselves.
BOOL AfxWinInit(HINSTANCE hInstance);
int AfxWinMain(HINSTANCE hInstance);
