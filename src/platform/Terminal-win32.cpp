// Windows terminal test: standard error is a console.
#include "Terminal.h"

#include <windows.h>

namespace mw {

bool StandardErrorIsTerminal()
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace mw
