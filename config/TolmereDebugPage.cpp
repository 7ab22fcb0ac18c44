#include "config/TolmereDebugPage.h"

#include "res/resource.h"

IMPLEMENT_DYNCREATE(CTolmereDebugPage, CPropertyPage)

void CTolmereDebugPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_SHOW_FPS, m_nShowFps);
    DDX_Radio(pDX, IDC_LOG_ERROR_ONLY, m_nLogAlways);
    DDX_Radio(pDX, IDC_LOG_OVERWRITE, m_nLogAppend);
}
