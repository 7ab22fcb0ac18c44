#include "afxdlgs.h"

#include <cstdio>
#include <cstring>

int AfxMessageBox(LPCSTR lpszText, UINT nType, HWND hWndOwner)
{
    CWinApp* pApp = AfxGetApp();
    if (!hWndOwner)
        hWndOwner = ::GetActiveWindow();
    return ::MessageBoxA(hWndOwner, lpszText, pApp ? pApp->m_pszAppName : nullptr, nType);
}

CString AfxFormatString2(LPCSTR lpszPattern, LPCSTR lpsz1, LPCSTR lpsz2)
{
    CString result;
    for (const char* p = lpszPattern; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            result += (p[1] == '1') ? lpsz1 : lpsz2;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Data exchange

namespace {

// The window that owns the page's messages: the sheet.
HWND MessageOwner(CDataExchange* pDX)
{
    return AfxGetTopLevelWindow(pDX->m_pDlgWnd->GetSafeHwnd());
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Digits with blanks and tabs around them; a number too large for 32 bits
// becomes the largest one, which the range check then refuses.
bool ParseUnsigned(const char* text, UINT* pValue)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull)
            value = 0x100000000ull;
    }
    while (IsBlank(*p))
        ++p;
    if (*p)
        return false;
    *pValue = value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<UINT>(value);
    return true;
}

} // namespace

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    return ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    m_hWndLastControl = PrepareCtrl(nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->Failed() || rControl.GetSafeHwnd())
        return;
    rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    if (pDX->Failed())
        return;
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        char text[16];
        snprintf(text, sizeof text, "%u", value);
        ::SetWindowTextA(hWnd, text);
        return;
    }
    char text[32] = "";
    // A longer text would be cut to its first characters, and what they say
    // stored: it is no number this exchange reads.
    const bool fits = ::GetWindowTextLengthA(hWnd) < static_cast<int>(sizeof text);
    ::GetWindowTextA(hWnd, text, sizeof text);
    UINT parsed = 0;
    if (!fits || !ParseUnsigned(text, &parsed)) {
        AfxMessageBox(AFX_IDP_PARSE_UINT, MB_OK, MessageOwner(pDX));
        pDX->Fail();
        return;
    }
    value = parsed;
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char lo[16], hi[16];
    snprintf(lo, sizeof lo, "%u", minVal);
    snprintf(hi, sizeof hi, "%u", maxVal);
    AfxMessageBox(AfxFormatString2(AFX_IDP_PARSE_INT_RANGE, lo, hi), MB_ICONEXCLAMATION, MessageOwner(pDX));
    pDX->Fail();
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < 0 || value > 2)
        value = 0;
    ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    while (hWnd) {
        if (::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                ::SendMessageA(hWnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
        if (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP))
            break;
    }
}

// ---------------------------------------------------------------------------
// Property pages

IMPLEMENT_DYNAMIC(CPropertyPage, CWnd)

CPropertyPage::CPropertyPage(UINT nIDTemplate)
{
    memset(&m_psp, 0, sizeof m_psp);
    // The first comctl32 with property sheets (Windows 95's and NT 4's)
    // takes no bigger structure, and nothing of the later fields is used.
    m_psp.dwSize = PROPSHEETPAGEA_V1_SIZE;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = AfxGetInstanceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pfnDlgProc = AfxPropPageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

BOOL CPropertyPage::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

void CPropertyPage::OnOK()
{
    if (m_pSheet)
        m_pSheet->m_bOK = TRUE;
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::DoDataExchange(CDataExchange*)
{
}

BOOL CPropertyPage::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

BOOL CPropertyPage::OnNotify(NMHDR* pHdr, LRESULT* pResult)
{
    if (pHdr->hwndFrom != ::GetParent(m_hWnd))
        return FALSE;
    switch (pHdr->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        // TRUE keeps the page in front.
        *pResult = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        OnOK();
        *pResult = PSNRET_NOERROR;
        return TRUE;
    case PSN_RESET:
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK AfxPropPageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* pPage = static_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hWnd));
    if (!pPage && message != WM_INITDIALOG)
        return FALSE;
    // A page whose handler threw leaves the message to the dialog's
    // defaults, as the window procedure does.
    INT_PTR handled = AfxCallHandler(message, FALSE, [&]() -> LRESULT {
        if (message == WM_INITDIALOG) {
            pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
            pPage->Attach(hWnd);
            return pPage->OnInitDialog();
        }
        LRESULT result = 0;
        BOOL done = (message == WM_NOTIFY) && pPage->OnNotify(reinterpret_cast<NMHDR*>(lParam), &result);
        if (!done)
            done = pPage->OnWndMsg(message, wParam, lParam, &result);
        if (!done)
            return FALSE;
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    });
    if (message == WM_NCDESTROY && pPage)
        pPage->Detach();
    return handled;
}

// ---------------------------------------------------------------------------
// Property sheets

namespace {

// comctl32 changes pages without moving the focus (Ctrl+Tab, Ctrl+Page Down
// and Up; under Wine a click on a tab too): keys would then reach a control
// of a page no longer shown, and OK store what they did there. Focus on a
// hidden page goes to the current one; so does the focus after a page change
// made from the keyboard, unless it was on the tabs (arrows moving along
// them). On the page it goes to the first control that Tab reaches, or to
// the page itself when it has none.
void KeepFocusOnCurrentPage(HWND hSheet, const MSG& msg, HWND hPageBefore, HWND hPage, HWND hFocusBefore)
{
    HWND hFocus = ::GetFocus();
    if (!hPage || (hFocus && (hFocus == hPage || ::IsChild(hPage, hFocus))))
        return;
    const bool hidden = hFocus && ::IsChild(hSheet, hFocus) && !::IsWindowVisible(hFocus);
    const bool keyed = hPage != hPageBefore && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
                       hFocusBefore != PropSheet_GetTabControl(hSheet);
    if (!hidden && !keyed)
        return;
    HWND hFirst = ::GetNextDlgTabItem(hPage, nullptr, FALSE);
    const bool takesTab = hFirst && ::IsChild(hPage, hFirst) && ::IsWindowVisible(hFirst) &&
                          ::IsWindowEnabled(hFirst) && (::GetWindowLongA(hFirst, GWL_STYLE) & WS_TABSTOP);
    ::SetFocus(takesTab ? hFirst : hPage);
}

} // namespace

CPropertySheet::CPropertySheet(LPCSTR pszCaption) : m_strCaption(pszCaption)
{
    memset(&m_psh, 0, sizeof m_psh);
    m_psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
}

namespace {

// Registers the trackbar's and the up-down control's classes. Common
// controls 4.70 and later do it through InitCommonControlsEx (which common
// controls 6 needs: there InitCommonControls does nothing); the comctl32 of
// a Windows 95 without Internet Explorer 3 has only InitCommonControls.
void InitCommonControlClasses()
{
    typedef BOOL(WINAPI * InitExFn)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = ::GetModuleHandleA("COMCTL32.DLL");
    InitExFn initEx = comctl ? reinterpret_cast<InitExFn>(::GetProcAddress(comctl, "InitCommonControlsEx")) : nullptr;
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES };
    if (!initEx || !initEx(&icc))
        ::InitCommonControls();
}

} // namespace

INT_PTR CPropertySheet::DoModal()
{
    InitCommonControlClasses();

    // The pages one after the other, each as long as its dwSize says: that
    // is how the sheet steps from one to the next.
    std::vector<BYTE> pages;
    for (CPropertyPage* pPage : m_pages) {
        pPage->m_bFirstSetActive = TRUE;
        const BYTE* pBytes = reinterpret_cast<const BYTE*>(&pPage->m_psp);
        pages.insert(pages.end(), pBytes, pBytes + pPage->m_psp.dwSize);
    }
    // Modeless with a loop of our own, which gives the sheet every key first
    // (PSM_ISDIALOGMESSAGE): that is where Ctrl+Tab and Ctrl+Page Down
    // change pages, and not every platform's built-in modal loop does it.
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS;
    m_psh.hwndParent = nullptr;
    m_psh.hInstance = AfxGetInstanceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(m_pages.size());
    m_psh.nStartPage = 0;
    m_psh.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages.data());
    m_bOK = FALSE;

    HWND hSheet = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
    m_psh.ppsp = nullptr;
    if (!hSheet || hSheet == reinterpret_cast<HWND>(-1))
        return 0;
    // The sheet has ended (OK, Cancel, the close box) when it has no
    // current page any more.
    BOOL bQuit = FALSE;
    MSG msg;
    HWND hPage = PropSheet_GetCurrentPageHwnd(hSheet);
    while (hPage) {
        int rc = ::GetMessageA(&msg, nullptr, 0, 0);
        if (rc <= 0) {
            bQuit = (rc == 0);
            break;
        }
        HWND hFocusBefore = ::GetFocus();
        if (!PropSheet_IsDialogMessage(hSheet, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        HWND hPageBefore = hPage;
        hPage = PropSheet_GetCurrentPageHwnd(hSheet);
        KeepFocusOnCurrentPage(hSheet, msg, hPageBefore, hPage, hFocusBefore);
    }
    ::DestroyWindow(hSheet);
    // A quit request meant for the program's own loop is passed on.
    if (bQuit)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    return m_bOK ? IDOK : IDCANCEL;
}
