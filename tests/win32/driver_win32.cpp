#include "tests/win32/driver_win32.h"

#include <random>
#include <vector>

std::string program_under_test;

std::string to_windows_path(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

std::string read_file_bytes(const std::string& path, bool* exists) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists) *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void write_file_bytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(file);
}

FILETIME write_time(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

FILETIME age_file(const std::string& path) {
    SYSTEMTIME old{2020, 1, 3, 1, 12, 0, 0, 0};
    FILETIME time{};
    SystemTimeToFileTime(&old, &time);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return write_time(path);
}

bool same_time(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

long long file_size(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool file_is(const std::string& path, const std::string& bytes) {
    if (file_size(path) != static_cast<long long>(bytes.size())) return false;
    bool exists = false;
    return read_file_bytes(path, &exists) == bytes && exists;
}

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(20);
    }
    return true;
}

ProgramCopy::ProgramCopy(const std::string& exe_name, bool with_data_folder) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::random_device seed;
    folder_ = std::string(temp) + "kw-e2e-" + std::to_string(std::mt19937(seed())());
    CreateDirectoryA(folder_.c_str(), nullptr);
    if (with_data_folder) CreateDirectoryA((folder_ + "\\data").c_str(), nullptr);
    exe_ = folder_ + "\\" + exe_name;
    CopyFileA(program_under_test.c_str(), exe_.c_str(), FALSE);
}

ProgramCopy::ProgramCopy(const ExistingFolder& folder, const std::string& exe_name)
    : folder_(folder.path), exe_(folder.path + "\\" + exe_name), owns_folder_(false) {
    CopyFileA(program_under_test.c_str(), exe_.c_str(), FALSE);
}

namespace {
void remove_tree(const std::string& folder, bool keep_folder = false) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (!keep_folder) RemoveDirectoryA(folder.c_str());
}
}  // namespace

ProgramCopy::~ProgramCopy() {
    if (owns_folder_) {
        remove_tree(folder_);
    } else {
        remove_tree(folder_ + "\\data", true);
        DeleteFileA(exe_.c_str());
    }
}

RunningProgram::RunningProgram(const ProgramCopy& copy, const std::string& arguments,
                               const std::string& working_folder) {
    std::string command = "\"" + copy.exe() + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = working_folder.empty() ? std::string(temp) : working_folder;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    CreateProcessA(copy.exe().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                   &process_);
}

RunningProgram::~RunningProgram() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

namespace {
struct WindowSearch {
    DWORD process;
    const char* class_name;
    const char* title;
    HWND found;
};
BOOL CALLBACK match_window(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process || !IsWindowVisible(hwnd)) return TRUE;
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (search->class_name && lstrcmpA(name, search->class_name) != 0) return TRUE;
    if (search->title) {
        char title[256] = {};
        GetWindowTextA(hwnd, title, sizeof title);
        if (lstrcmpA(title, search->title) != 0) return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}
HWND find_window(DWORD process, const char* class_name, const char* title) {
    WindowSearch search{process, class_name, title, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

HWND RunningProgram::window(DWORD timeout_ms) {
    // Shown, activated and focused: keys sent from here on reach it.
    if (!window_)
        wait_until(
            [&] {
                window_ = find_window(process_.dwProcessId, "TessarynKeywordExpander", nullptr);
                return window_ && GetForegroundWindow() == window_ && focus();
            },
            timeout_ms);
    return window_;
}

HWND RunningProgram::control(int id) {
    HWND main = window();
    if (HWND direct = GetDlgItem(main, id)) return direct;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND nested = GetDlgItem(child, id)) return nested;
    return nullptr;
}

// The rich edit answers WM_GETTEXTLENGTH with 0 across processes under Wine,
// and a buffer too small for the text with nothing, so the buffer grows until
// the text fits (an empty answer counts only with the largest buffer).
std::string RunningProgram::text(HWND control) const {
    for (std::size_t size = 4096;; size *= 4) {
        const bool largest = size >= (std::size_t(1) << 26);
        std::string text(size, '\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_BLOCK,
                            60000, &copied);
        if ((copied > 0 || largest) && copied + 1 < size) {
            text.resize(copied);
            return text;
        }
    }
}

HWND RunningProgram::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void RunningProgram::click(HWND button) const { PostMessageA(button, BM_CLICK, 0, 0); }

void RunningProgram::type(HWND box, const std::string& characters) const {
    for (unsigned char c : characters) PostMessageA(box, WM_CHAR, c, 1);
}

void RunningProgram::press(WORD key, bool shift) const {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND RunningProgram::wait_for_box(const std::string& title, DWORD timeout_ms) const {
    HWND box = nullptr;
    wait_until([&] { return (box = find_window(process_.dwProcessId, "#32770", title.c_str())); }, timeout_ms);
    return box;
}

std::string RunningProgram::box_text(HWND message_box) const {
    return text(GetDlgItem(message_box, 0xFFFF));
}

void RunningProgram::close_box(HWND message_box) const { PostMessageA(message_box, WM_COMMAND, IDOK, 0); }

bool RunningProgram::wait_for_exit(DWORD timeout_ms, DWORD* exit_code) {
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.hProcess, exit_code);
    return true;
}
