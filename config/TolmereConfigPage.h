// The first page of the configuration sheet: the speed of the animation, the
// density of the starfield and the number of saucer groups.
#pragma once

#include "framework/afxcmn.h"
#include "framework/afxdlgs.h"
#include "res/resource.h"

class CTolmereConfigPage : public CPropertyPage {
public:
    CTolmereConfigPage() : CPropertyPage(IDD_CONFIG) {}

    UINT m_nCount = 0; // saucer groups, in edit 1001
    int m_nSpeed = 0;  // milliseconds per frame, the speed slider's position
    int m_nStars = 0;  // stars, the starfield slider's position

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    // The arrows step the page's count, not the edit's text, within the
    // offered range, and rewrite the edit each time.
    void OnDeltaposSpin(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    CSliderCtrl m_ctlStarfield;
    CSliderCtrl m_ctlSpeed;
    CSpinButtonCtrl m_ctlSpin;
};
