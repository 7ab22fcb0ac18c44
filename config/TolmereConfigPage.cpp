#include "config/TolmereConfigPage.h"

#include "core/Settings.h"
#include "res/resource.h"

#include <cstdio>

namespace {

// How the sliders step; their ranges are the settings'. The steps are the
// ones the sheet has always had, kept so that the keys do what its users
// know: the starfield's arrow keys move 40 stars, its page keys 20.
const struct SliderSteps {
    Setting setting;
    int nTicFreq, nLine, nPage;
} kSpeed = { Setting::Speed, 10, 5, 10 }, kStarfield = { Setting::Stars, 40, 40, 20 };

void SetUpSlider(CSliderCtrl& slider, const SliderSteps& steps, int nPos)
{
    slider.SetRange(SpecOf(steps.setting).sheetMin, SpecOf(steps.setting).sheetMax);
    slider.SetTicFreq(steps.nTicFreq);
    slider.SetLineSize(steps.nLine);
    slider.SetPageSize(steps.nPage);
    // The control clamps a stored value outside the range to its nearer end.
    slider.SetPos(nPos);
}

} // namespace

BEGIN_MESSAGE_MAP(CTolmereConfigPage, CPropertyPage)
    ON_NOTIFY(UDN_DELTAPOS, IDC_SPIN, OnDeltaposSpin)
END_MESSAGE_MAP()

void CTolmereConfigPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STARFIELD, m_ctlStarfield);
    DDX_Control(pDX, IDC_SPEED, m_ctlSpeed);
    DDX_Control(pDX, IDC_SPIN, m_ctlSpin);
    DDX_Text(pDX, IDC_COUNT, m_nCount);
    DDV_MinMaxUInt(pDX, m_nCount, static_cast<UINT>(SpecOf(Setting::Count).sheetMin),
                   static_cast<UINT>(SpecOf(Setting::Count).sheetMax));
}

BOOL CTolmereConfigPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    SetUpSlider(m_ctlStarfield, kStarfield, m_nStars);
    SetUpSlider(m_ctlSpeed, kSpeed, m_nSpeed);
    return TRUE;
}

BOOL CTolmereConfigPage::OnKillActive()
{
    BOOL bValid = UpdateData(TRUE);
    m_nStars = m_ctlStarfield.GetPos();
    m_nSpeed = m_ctlSpeed.GetPos();
    return bValid;
}

void CTolmereConfigPage::OnDeltaposSpin(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMUPDOWN* pUpDown = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
    const long long lo = SpecOf(Setting::Count).sheetMin, hi = SpecOf(Setting::Count).sheetMax;
    // The arrows stay within the range the page accepts: a step from a
    // hand-edited count outside it lands at its nearer end, and no step
    // wraps (down from 0 would give 4294967295, which OK then refuses).
    long long next = m_nCount;
    if (next >= lo && next <= hi)
        next -= pUpDown->iDelta;
    m_nCount = static_cast<UINT>(next < lo ? lo : next > hi ? hi : next);
    char text[16];
    snprintf(text, sizeof text, "%u", m_nCount);
    SetDlgItemText(IDC_COUNT, text);
    *pResult = 0;
}
