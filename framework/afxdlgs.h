// Property sheets and pages, with data exchange between a page's controls
// and its members.
//
// The sheet is comctl32's own, run modally by a loop of ours; each page is a
// dialog whose procedure routes the sheet's notifications to the page's
// virtual functions and everything else through the page's message map.
// A failed validation is a result: it shows the framework's message, puts
// the focus back on the edit and keeps the page in front; nothing throws
// through the platform's dialog code.
#pragma once

#include "afxwin.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

class CPropertySheet;

// Shows a message over owner (or the active window) with the application's
// name as the caption.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, HWND hWndOwner = nullptr);
// pattern with %1 and %2 replaced by the two texts.
CString AfxFormatString2(LPCSTR lpszPattern, LPCSTR lpsz1, LPCSTR lpsz2);

// The framework's own validation messages.
#define AFX_IDP_PARSE_UINT "Please enter a positive integer."
#define AFX_IDP_PARSE_INT_RANGE "Please enter an integer between %1 and %2."

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;

    // The control's window; an edit is remembered for Fail.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends the exchange as failed: the focus goes back to the last edit with
    // its whole text selected. Later exchanges of the same pass do nothing.
    void Fail();
    BOOL Failed() const { return m_bFailed; }

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bFailed = FALSE;
};

// Binds a control of the dialog to rControl, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// An unsigned decimal number in an edit: the first 31 characters count,
// blanks and tabs around the digits are allowed, anything else fails with
// the positive-integer message.
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
// A check box; loading first sets a value outside 0 to 2 to 0.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked radio button of the group that starts at nIDC,
// counted in dialog order up to the next control that starts a group; -1
// when none is checked.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

class CPropertyPage : public CWnd {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate);

    // Loads the members into the controls.
    virtual BOOL OnInitDialog();
    // Reloads the controls each time the page comes back to the front.
    virtual BOOL OnSetActive();
    // Takes the controls into the members; FALSE keeps the page in front.
    virtual BOOL OnKillActive();
    // OK pressed (after every shown page agreed to be left).
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }

private:
    PROPSHEETPAGEA m_psp;
    friend class CPropertySheet;
    friend INT_PTR CALLBACK AfxPropPageProc(HWND, UINT, WPARAM, LPARAM);
    BOOL OnNotify(NMHDR* pHdr, LRESULT* pResult);

    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bFirstSetActive = TRUE;
};

INT_PTR CALLBACK AfxPropPageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CPropertySheet : public CObject {
public:
    explicit CPropertySheet(LPCSTR pszCaption);

    // Flags may be added before DoModal (PSH_NOAPPLYNOW).
    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage* pPage);
    // Runs the sheet as a top-level window of its own and returns IDOK or
    // IDCANCEL, or 0 when the sheet could not be shown. The keyboard focus
    // never stays on a page that is not shown.
    INT_PTR DoModal();

private:
    friend class CPropertyPage;
    CString m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    BOOL m_bOK = FALSE;
};
