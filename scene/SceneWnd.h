// The display window specialised for the saucer scene; the same class serves
// the preview and, through CSaverWnd, the full-screen saver.
#pragma once

#include "display/DisplayWnd.h"

class CSceneWnd : public CDisplayWnd {
public:
    explicit CSceneWnd(BOOL bAutoDelete);
    ~CSceneWnd() override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);

private:
    void ClearScreen();

    DECLARE_MESSAGE_MAP()
};
