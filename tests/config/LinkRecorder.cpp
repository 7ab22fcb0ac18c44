// A scheme handler for the tests: writes the command line it was started
// with to skardel-link.txt beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (!slash)
        return 1;
    strcpy(slash + 1, "skardel-link.txt");
    FILE* f = fopen(path, "wb");
    if (!f)
        return 1;
    const char* line = GetCommandLineA();
    fwrite(line, 1, strlen(line), f);
    fclose(f);
    return 0;
}
