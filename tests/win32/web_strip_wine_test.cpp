// The web strip under Wine, whose WebBrowser control works without its HTML
// engine: the prefix has mshtml switched off, so no page is ever shown and no
// installer can ask for one, but the control and its window are real.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string>

#include "tests/win32/gui_test_window.h"
#include "ui/web_addresses.h"
#include "ui/web_strip_win32.h"

namespace {

// "left,top widthxheight" in the parent's client area.
std::string place_of(HWND window) {
    const RECT r = rect_in_parent(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

class WebStripWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        if (IsWindow(window.get())) DestroyWindow(window.get());
        pump_messages();
        OleUninitialize();
    }
    HWND make_strip(const char* url = web_addresses().web_strip_page.c_str()) {
        const ControlRow row{"超文本浏览框1", 100, ControlKind::web_strip, 0, {2, 689, 715, 18}, nullptr, black, {}};
        const HWND strip = create_web_strip(window.get(), row, url);
        if (strip) ShowWindow(strip, SW_SHOW);
        pump_messages();
        return strip;
    }
    TestWindow window;
};

TEST_F(WebStripWindow, TheBrowserFillsTheStripAndFollowsItsSize) {
    const HWND strip = make_strip();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(place_of(strip), "2,689 715x18");
    const HWND browser = GetWindow(strip, GW_CHILD);
    ASSERT_NE(browser, nullptr) << "the browser control made no window in the strip";
    EXPECT_TRUE(IsWindowVisible(browser));
    EXPECT_EQ(place_of(browser), "0,0 715x18");

    MoveWindow(strip, 2, 600, 400, 40, TRUE);
    pump_messages();
    EXPECT_EQ(place_of(browser), "0,0 400x40");
}

TEST_F(WebStripWindow, TabReachesTheStrip) {
    const HWND strip = make_strip();
    ASSERT_NE(strip, nullptr);
    const HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20,
                                        window.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetNextDlgTabItem(window.get(), button, FALSE), strip);
}

// Wine honours a DLL override per program name under
// HKCU\Software\Wine\AppDefaults; with ieframe, which serves the WebBrowser
// class, switched off, CoCreateInstance of the control fails.
class DisabledBrowserFor {
public:
    explicit DisabledBrowserFor(const std::string& program)
        : path_("Software\\Wine\\AppDefaults\\" + program) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (path_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr);
        RegSetValueExA(key, "ieframe", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }
    ~DisabledBrowserFor() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    DisabledBrowserFor(const DisabledBrowserFor&) = delete;
    DisabledBrowserFor& operator=(const DisabledBrowserFor&) = delete;

private:
    std::string path_;
};

// The probe's exit code; -1 if it could not be run or did not end within a minute.
int run_probe(const std::string& argument = "") {
    std::string command = "\"" + program_folder() + KW_WEB_STRIP_PROBE_EXE + "\" " + argument;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, static_cast<UINT>(-1));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

TEST_F(WebStripWindow, DestroyingTheStripTakesTheBrowserWithIt) {
    const HWND strip = make_strip();
    ASSERT_NE(strip, nullptr);
    const HWND browser = GetWindow(strip, GW_CHILD);
    DestroyWindow(strip);
    pump_messages();
    EXPECT_FALSE(IsWindow(browser));
    EXPECT_EQ(GetWindow(window.get(), GW_CHILD), nullptr);
    EXPECT_EQ(run_probe("release"), 0) << "a reference to the browser control was kept";
}

TEST(WebStripFailure, WithoutTheBrowserControlNoStripIsMadeAndNothingIsLeft) {
    {
        DisabledBrowserFor disabled(KW_WEB_STRIP_PROBE_EXE);
        EXPECT_EQ(run_probe(), 1);
    }
    EXPECT_EQ(run_probe(), 0) << "the same program makes its strip once the override is gone";
}

}  // namespace
