// The built Skardel.scr as a whole, started the way the screen-saver host
// starts it.
#include "support/Process.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

TEST(RunModes, UnusableSwitchesEndAtOnceWithoutAWindow)
{
    std::string scr = BuiltScreenSaver();
    ASSERT_FALSE(scr.empty()) << "SKARDEL_SCR is not set";
    const char* arguments[] = { "/a", "\"\"", "//s", "-x", "/p", "/p 0", "/p 99999", "/p notanumber" };
    for (const char* args : arguments) {
        ProcessResult r = RunProcess("\"" + scr + "\" " + args, 20000);
        ASSERT_TRUE(r.started) << args;
        EXPECT_TRUE(r.exited) << args;
        EXPECT_EQ(0u, r.exitCode) << args;
        EXPECT_EQ(0, r.windowsSeen) << args;
        EXPECT_LT(r.elapsedMs, 10000u) << args;
    }
}
