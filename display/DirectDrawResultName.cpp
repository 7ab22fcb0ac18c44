#include "display/DirectDrawResultName.h"

CString DirectDrawResultName(HRESULT hr)
{
    switch (hr) {
    case DD_OK:
        return "DD_OK";
#define X(name) \
    case name:  \
        return #name;
        DIRECTDRAW_RESULT_NAMES
#undef X
    }
    CString text;
    text.Format("Unknown error %0x", static_cast<unsigned int>(hr));
    return text;
}
