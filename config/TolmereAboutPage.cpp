#include "config/TolmereAboutPage.h"

#include "core/VersionInfo.h"
#include "res/resource.h"

namespace {

// The maker on the web, under a domain reserved for examples.
const char kWebTitle[] = "Tolmere on the web";
const char kWebAddress[] = "http://www.tolmere.example/";
const char kMailAddress[] = "skardel@tolmere.example";

const UINT kWebLinkId = 4096;
const UINT kMailLinkId = 4097;

} // namespace

IMPLEMENT_DYNCREATE(CTolmereAboutPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CTolmereAboutPage, CPropertyPage)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CTolmereAboutPage::CTolmereAboutPage(UINT nCursorId, UINT nMenuId)
    : CPropertyPage(IDD_ABOUT), m_nCursorId(nCursorId), m_nMenuId(nMenuId)
{
}

CTolmereAboutPage::~CTolmereAboutPage() = default;

RECT CTolmereAboutPage::PlaceOf(int nID) const
{
    RECT rect = {};
    ::GetWindowRect(GetDlgItem(nID), &rect);
    ScreenToClient(&rect);
    return rect;
}

BOOL CTolmereAboutPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // A picture that does not load leaves the page without one.
    m_picture.LoadFromResource(MAKEINTRESOURCEA(IDB_LOGO), FALSE);

    // Without readable version information both texts are empty (not the
    // template's placeholders); the rest of the page is still worth showing.
    CString name, version, copyright, product;
    try {
        CVersionInfo info(AfxGetInstanceHandle());
        info.GetString("ProductName", name);
        info.GetString("ProductVersion", version);
        info.GetString("LegalCopyright", copyright);
        product = name + " V " + version;
    } catch (const CException&) {
    }
    SetDlgItemText(IDC_PROGRAM_NAME, product);
    SetDlgItemText(IDC_COPYRIGHT, copyright);

    // Tab follows the order of making: the e-mail link stands above the web
    // link.
    m_pMailLink.reset(new CHyperlinkWnd);
    m_pMailLink->Create(CString("Email: ") + kMailAddress, CString("mailto:") + kMailAddress, PlaceOf(IDC_MAIL_PLACE),
                        1, this, kMailLinkId, m_nCursorId, m_nMenuId);
    CString text = CString(kWebTitle) + ": " + kWebAddress;
    m_pWebLink.reset(new CHyperlinkWnd);
    m_pWebLink->Create(text, kWebAddress, PlaceOf(IDC_WEB_PLACE), 1, this, kWebLinkId, m_nCursorId, m_nMenuId);
    return TRUE;
}

BOOL CTolmereAboutPage::OnSetActive()
{
    // Brought to the front, the page puts the focus where it went before the
    // links were tab stops, on its first control (the product's name), not
    // on its first link: Return then still presses OK, and Tab leads on to
    // the links. On the tabs the focus stays (the arrows move along them).
    if (::GetFocus() != PropSheet_GetTabControl(::GetParent(m_hWnd)))
        ::SetFocus(GetDlgItem(IDC_PROGRAM_NAME));
    return CPropertyPage::OnSetActive();
}

void CTolmereAboutPage::OnPaint()
{
    CPaintDC dc(this);
    RECT frame = PlaceOf(IDC_PICTURE_FRAME);
    m_picture.Draw(dc, frame.left + 1, frame.top + 1, m_picture.m_nWidth, m_picture.m_nHeight, 0, 0, SRCCOPY);
}
