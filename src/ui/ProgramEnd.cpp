#include "ProgramEnd.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int EndProgram(int status)
{
    std::fflush(nullptr);
#ifdef _WIN32
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
#endif
    return status;
}
