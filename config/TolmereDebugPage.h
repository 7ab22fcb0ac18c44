// The second page of the configuration sheet: when and how the log file is
// written, and whether the saver shows its frame rate.
#pragma once

#include "framework/afxdlgs.h"
#include "res/resource.h"

class CTolmereDebugPage : public CPropertyPage {
    DECLARE_DYNCREATE(CTolmereDebugPage)
public:
    CTolmereDebugPage() : CPropertyPage(IDD_DEBUG) {}

    int m_nShowFps = 0;    // check box 1003 ("Fps")
    int m_nLogAlways = -1; // 0 "&Only if error", 1 "&Always", -1 none ("Always Log")
    int m_nLogAppend = -1; // 0 "O&verwrite", 1 "A&ppend", -1 none ("Append Log")

    void DoDataExchange(CDataExchange* pDX) override;
};
