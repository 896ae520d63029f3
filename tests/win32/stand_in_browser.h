#pragma once
// The tests' stand-in browser (kw_record_open.exe) and the scratch file it
// appends its command line to, one line per start. The file's name reaches it
// through the environment, which the shell, WinExec and a started program
// pass on; each suite registers the stand-in where its case needs it.
#include <windows.h>

#include <string>
#include <utility>

class StandInBrowser {
public:
    explicit StandInBrowser(std::string program) : program_(std::move(program)) {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        GetTempFileNameA(folder, "kwo", 0, record_);
        DeleteFileA(record_);
        SetEnvironmentVariableA("KW_RECORD_OPEN_FILE", record_);
    }
    ~StandInBrowser() {
        SetEnvironmentVariableA("KW_RECORD_OPEN_FILE", nullptr);
        DeleteFileA(record_);
    }
    StandInBrowser(const StandInBrowser&) = delete;
    StandInBrowser& operator=(const StandInBrowser&) = delete;

    std::string quoted_program() const { return "\"" + program_ + "\""; }
    // The command line to register: the stand-in with the address quoted.
    std::string command() const { return quoted_program() + " \"%1\""; }

    // Everything recorded so far.
    std::string recorded() const {
        const HANDLE file = CreateFileA(record_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "";
        std::string text;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
        CloseHandle(file);
        return text;
    }

    // What the stand-in has recorded once a whole line is there; "" if none
    // came within half a minute (it runs as a process of its own).
    std::string wait_for_record() const {
        for (int tries = 0; tries < 300; ++tries) {
            const std::string text = recorded();
            if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) return text;
            Sleep(100);
        }
        return "";
    }

private:
    std::string program_;
    char record_[MAX_PATH] = {};
};
