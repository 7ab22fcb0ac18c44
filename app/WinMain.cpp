// The program's entry point and its one application object. Test programs
// link the same library with an application object of their own.
#include "app/ScreenSaverApp.h"

CScreenSaverApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}
