// The third page of the configuration sheet: the maker's logo, the product
// with its version, the copyright line and links to the maker's web site and
// e-mail address.
#pragma once

#include "config/DibPicture.h"
#include "config/HyperlinkWnd.h"
#include "framework/afxdlgs.h"

#include <memory>

class CTolmereAboutPage : public CPropertyPage {
    DECLARE_DYNCREATE(CTolmereAboutPage)
public:
    // The hand cursor and the "Copy URL" menu for both links; 0 for none.
    explicit CTolmereAboutPage(UINT nCursorId = 0, UINT nMenuId = 0);
    ~CTolmereAboutPage() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    friend struct TestAccess;

    UINT m_nCursorId;
    UINT m_nMenuId;
    CDibPicture m_picture;
    std::unique_ptr<CHyperlinkWnd> m_pWebLink;
    std::unique_ptr<CHyperlinkWnd> m_pMailLink;

    // A hidden static's place, in this page's client coordinates.
    RECT PlaceOf(int nID) const;
};
