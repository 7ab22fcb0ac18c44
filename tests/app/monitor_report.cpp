// Prints every monitor but the primary as the program finds them, one
// "left,top-right,bottom" a line, once the desktop is up: the two-monitor
// check waits until Wine reports the arrangement it made.
#include "app/MonitorCovers.h"

#include <cstdio>

int main()
{
    GetDesktopWindow();
    for (const RECT& r : OtherMonitors(RealMonitorPlatform()))
        std::printf("%ld,%ld-%ld,%ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}
