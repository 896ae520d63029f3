#pragma once
// Drives the real program from another process, as a user would: a scratch
// copy of the program with its data folder, the process, its window and
// controls, keys through the system's input queue, and the files.
#include <windows.h>

#include <functional>
#include <string>

extern std::string program_under_test;  // the built program, a Windows path

std::string to_windows_path(const std::string& path);
std::string read_file_bytes(const std::string& path, bool* exists = nullptr);
void write_file_bytes(const std::string& path, const std::string& bytes);
FILETIME age_file(const std::string& path);  // sets and returns an old write time
FILETIME write_time(const std::string& path);
bool same_time(const FILETIME& a, const FILETIME& b);

// Whether the file exists and holds exactly these bytes. The program saves
// with no sharing, so a reader here makes a save that meets it fail: the file
// is opened only once its size already matches.
bool file_is(const std::string& path, const std::string& bytes);
long long file_size(const std::string& path);  // -1 when missing; opens no handle

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms);

// A folder made by someone else that already holds the data folder (a small
// disk mounted there, say); a program copied into it leaves the folder and
// its data folder in place and removes only their contents.
struct ExistingFolder {
    std::string path;  // a Windows path
};

class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& exe_name = "keyword_expander.exe", bool with_data_folder = true);
    explicit ProgramCopy(const ExistingFolder& folder, const std::string& exe_name = "keyword_expander.exe");
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::string& folder() const { return folder_; }
    const std::string& exe() const { return exe_; }
    std::string data(const std::string& name) const { return folder_ + "\\data\\" + name; }

private:
    std::string folder_;
    std::string exe_;
    bool owns_folder_ = true;
};

class RunningProgram {
public:
    explicit RunningProgram(const ProgramCopy& copy, const std::string& arguments = "",
                            const std::string& working_folder = "");
    ~RunningProgram();  // ends the process if it is still running
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    HWND window(DWORD timeout_ms = 30000);  // the main window, once shown
    HWND control(int id);                   // any control, panels' children included
    std::string text(HWND control) const;   // WM_GETTEXT
    HWND focus() const;
    void click(HWND button) const;          // posted, so a modal box cannot block the test
    void type(HWND box, const std::string& characters) const;
    // Keys through the input queue of the foreground window.
    void press(WORD key, bool shift = false) const;
    HWND wait_for_box(const std::string& title, DWORD timeout_ms = 20000) const;  // a message box
    std::string box_text(HWND message_box) const;
    void close_box(HWND message_box) const;
    bool wait_for_exit(DWORD timeout_ms, DWORD* exit_code);
    DWORD process_id() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};
