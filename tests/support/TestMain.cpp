// Test programs run the real classes in-process: the application object is
// set up as the entry point would, with the resources of this module.
#include "app/ScreenSaverApp.h"

#include <gtest/gtest.h>

CScreenSaverApp theApp;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    AfxWinInit(GetModuleHandleA(nullptr));
    theApp.SetRegistryKey("Tolmere");
    return RUN_ALL_TESTS();
}
