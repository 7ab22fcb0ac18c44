// One line of blue text standing for a link: underlined while the mouse is
// over it, opened with the user's handler for its scheme on a left click,
// and copied to the clipboard from a right-click menu. It is a tab stop:
// focused, it shows the focus rectangle, Return or Space opens it, and
// Shift+F10 or the menu key brings up its menu.
#pragma once

#include "framework/afxwin.h"


class CHyperlinkWnd : public CWnd {
public:
    CHyperlinkWnd() = default;

    // rect is in the parent's client coordinates; alignment 0 left, 1
    // centred, 2 right (anything else left). cursor and menu: resource ids,
    // 0 for none.
    virtual BOOL Create(CString text, CString link, const RECT& rect, int alignment, CWnd* pParent, UINT nID,
                        UINT nCursorId, UINT nMenuId);
    // Starts the command of the user's choice of program for the link's
    // scheme, or else the command registered for the scheme.
    void OpenLink();
    // Puts the link (not the text) on the clipboard as text.
    BOOL CopyLinkToClipboard();

    // The scheme before the link's first ":", "http" when there is none.
    static CString SchemeOf(const CString& link);
    // The registered command with the link in place of its "%1" (what
    // followed "%1" is dropped), or after a blank when it has none.
    static CString BuildCommand(const CString& command, const CString& link);

private:
    friend struct TestAccess;

    CString m_strText;
    CString m_strLink;
    int m_nAlignment = 0;
    bool m_bHover = false;
    UINT_PTR m_nTimer = 0;
    RECT m_rcText = {};  // client coordinates, fixed when the window is made
    CFont m_font;
    UINT m_nCursorId = 0;
    UINT m_nMenuId = 0;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    void OnMouseMove(UINT nFlags, POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnContextMenu(CWnd* pWnd, POINT pos);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);
    UINT OnGetDlgCode(const MSG* pMsg);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    void CalcTextRect();
    // The page's background (its themed texture or its colour) over the
    // whole window.
    void DrawPageBeneath(HDC hDC);
    bool OverText(POINT client) const { return PtInRect(&m_rcText, client) != FALSE; }

    DECLARE_MESSAGE_MAP()
};
