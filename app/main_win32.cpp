#include <windows.h>

#include "app/shell_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A missing disk or an unreadable drive makes a data-file operation fail
    // quietly instead of raising a system error box.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    start_program();
    shutdown_shell(0);
    return 0;
}
