#include "afxgdi.h"

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    DeleteObject();
    m_hObject = hObject;
    return hObject != nullptr;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName)
{
    LOGFONTA lf = {};
    CClientDC screen(nullptr);
    lf.lfHeight = -MulDiv(nPointSize, screen.GetDeviceCaps(LOGPIXELSY), 720);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return Attach(::CreateFontIndirectA(&lf));
}

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::CreateCompatibleDC(HDC hDC)
{
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(hDC);
    m_bOwned = m_hDC != nullptr;
    return m_bOwned;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC || !m_bOwned)
        return FALSE;
    BOOL ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bOwned = FALSE;
    return ok;
}
