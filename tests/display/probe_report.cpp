// Reports the probe's answer as the exit code (version << 8 | platform), for
// the test that runs it under a Wine set to another Windows version.
#include "display/DirectXProbe.h"

int main()
{
    DWORD version = 0, platform = 0;
    ProbeDirectXVersion(&version, &platform);
    return static_cast<int>((version << 8) | platform);
}
