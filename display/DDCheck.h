// The one way a failed DirectDraw call is told: the line "label: NAME" in the
// log, NAME the result's DDERR name.
#pragma once

#include "core/LogFile.h"
#include "display/DirectDrawResultName.h"

// TRUE when hr is a success; otherwise the line is written.
inline BOOL DDCheck(CLogFile& log, HRESULT hr, const char* label)
{
    if (SUCCEEDED(hr))
        return TRUE;
    log.WriteText(label, DirectDrawResultName(hr));
    return FALSE;
}
