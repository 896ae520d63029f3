// A stand-in browser for the link label tests: appends its command line, one
// line per start, to the file named by KW_RECORD_OPEN_FILE.
#include <windows.h>

#include <cstring>

int main() {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("KW_RECORD_OPEN_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 2;
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const char* command_line = GetCommandLineA();
    DWORD written = 0;
    const bool ok = WriteFile(file, command_line, static_cast<DWORD>(std::strlen(command_line)), &written, nullptr) &&
                    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 4;
}
