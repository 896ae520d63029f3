// The link label under Wine: real mouse messages, the real shell and registry
// (HKEY_CLASSES_ROOT redirected for this process only), real painting.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "tests/win32/gui_test_window.h"
#include "tests/win32/stand_in_browser.h"
#include "ui/link_label_win32.h"
#include "ui/web_addresses.h"

namespace {

// HKEY_CLASSES_ROOT for this process only, starting empty: the test decides
// what the shell and the fallback find, and the prefix's own classes (where
// http opens winebrowser, and through it the host's browser) are never used.
class ScratchClassesRoot {
public:
    ScratchClassesRoot() : path_("Software\\KwTests\\Classes-" + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        overridden_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, key_) == ERROR_SUCCESS;
    }
    ~ScratchClassesRoot() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KwTests");  // goes only once no other run uses it
    }
    ScratchClassesRoot(const ScratchClassesRoot&) = delete;
    ScratchClassesRoot& operator=(const ScratchClassesRoot&) = delete;
    bool overridden() const { return overridden_; }

    // The default value of subkey, stored as these exact bytes (no NUL added).
    void set_raw(const std::string& subkey, const std::string& bytes) {
        HKEY k = nullptr;
        RegCreateKeyExA(key_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(k);
    }
    void set_default(const std::string& subkey, const std::string& value) {
        set_raw(subkey, std::string(value.c_str(), value.size() + 1));
    }
    void create_key(const std::string& subkey) { set_default(subkey + "\\kw-scratch", ""); }
    void remove(const std::string& subkey) { RegDeleteTreeA(key_, subkey.c_str()); }

private:
    std::string path_;
    HKEY key_ = nullptr;
    bool overridden_ = false;
};

COLORREF colorref(Colour c) { return RGB(c.r, c.g, c.b); }

// The colours on screen inside the label, after it has painted itself.
std::set<COLORREF> colours_shown(HWND label) {
    UpdateWindow(label);
    RECT client;
    GetClientRect(label, &client);
    std::set<COLORREF> colours;
    const HDC dc = GetDC(label);
    for (int y = client.top; y < client.bottom; ++y)
        for (int x = client.left; x < client.right; ++x) colours.insert(GetPixel(dc, x, y));
    ReleaseDC(label, dc);
    return colours;
}

// Which of the label's three text colours it shows; "none" or "several" otherwise.
std::string text_colour_shown(HWND label, const LinkLabelSpec& spec) {
    const std::set<COLORREF> colours = colours_shown(label);
    std::string found;
    const std::pair<const char*, Colour> named[] = {
        {"normal", spec.normal}, {"hover", spec.hover}, {"visited", spec.visited}};
    for (const auto& [name, colour] : named) {
        if (colours.count(colorref(colour)) == 0) continue;
        if (!found.empty()) return "several";
        found = name;
    }
    return found.empty() ? "none" : found;
}

LPARAM at(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
void move_to(HWND label, int x, int y) { SendMessageA(label, WM_MOUSEMOVE, 0, at(x, y)); }
void press(HWND label) { SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, at(3, 3)); }
void leave(HWND label) { move_to(label, -20, -20); }

class ScratchClasses : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(classes.overridden()) << "HKEY_CLASSES_ROOT could not be redirected"; }
    ScratchClassesRoot classes;
};

class LinkLabelWindow : public ScratchClasses {
protected:
    HWND make_label(LinkLabelId id, int x = 72, int y = 16, int width = 51, int height = 16) {
        const ControlRow row{"超级链接框", 100, ControlKind::link, 0, {x, y, width, height}, nullptr, black, id};
        const HWND label = create_link_label(window.get(), row);
        EXPECT_NE(label, nullptr);
        ShowWindow(label, SW_SHOW);
        return label;
    }
    void register_http_browser() { classes.set_default("http\\shell\\open\\command", recorder.command()); }

    StandInBrowser recorder{program_folder() + KW_RECORD_OPEN_EXE};
    TestWindow window;
};

TEST_F(LinkLabelWindow, APressOpensTheAddressWithTheRegisteredBrowserAtOnce) {
    register_http_browser();
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框2);
    const HWND label = make_label(LinkLabelId::超级链接框2, 7, 16, 58, 16);
    press(label);  // no button-up follows: the press alone opens
    EXPECT_EQ(recorder.wait_for_record(), recorder.quoted_program() + " \"" + web_addresses().maker_data + "\"\r\n");
}

TEST_F(LinkLabelWindow, HoverColourWhileOverTheLabelVisitedColourOnceItIsLeft) {
    register_http_browser();
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框3);
    const HWND label = make_label(LinkLabelId::超级链接框3);
    EXPECT_EQ(text_colour_shown(label, spec), "normal");
    EXPECT_EQ(colours_shown(label).count(colorref(panel_colour)), 1u) << "the background";

    move_to(label, 10, 8);
    EXPECT_EQ(GetCapture(), label) << "without the capture the leaving goes unheard";
    EXPECT_EQ(text_colour_shown(label, spec), "hover");
    leave(label);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(text_colour_shown(label, spec), "normal");

    move_to(label, 10, 8);
    press(label);
    EXPECT_EQ(text_colour_shown(label, spec), "hover") << "still under the pointer";
    leave(label);
    EXPECT_EQ(text_colour_shown(label, spec), "visited");
    EXPECT_NE(recorder.wait_for_record(), "");
}

TEST_F(LinkLabelWindow, ThePointerIsTheHandAndTheTextIsCentred) {
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框5);
    const HWND label = make_label(LinkLabelId::超级链接框5, 216, 16, 120, 16);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));

    // Text drawn from the left edge (a missing DT_CENTER) leaves the margins lopsided.
    UpdateWindow(label);
    const HDC dc = GetDC(label);
    int left = 120, right = -1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 120; ++x)
            if (GetPixel(dc, x, y) == colorref(spec.normal)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ReleaseDC(label, dc);
    ASSERT_GE(right, left) << "no text drawn";
    EXPECT_LE(std::abs(left - (119 - right)), 3) << "left margin " << left << ", right margin " << 119 - right;
}

TEST_F(LinkLabelWindow, AFailedPressShowsTheNormalColourAgain) {
    register_http_browser();
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框4);
    const HWND label = make_label(LinkLabelId::超级链接框4, 130, 16, 79, 16);
    press(label);
    leave(label);
    EXPECT_EQ(text_colour_shown(label, spec), "visited");
    EXPECT_NE(recorder.wait_for_record(), "");

    classes.remove("http");  // now nothing is registered for http or .htm
    move_to(label, 10, 8);
    press(label);
    leave(label);
    EXPECT_EQ(text_colour_shown(label, spec), "normal");
}

TEST_F(LinkLabelWindow, WhenTheShellFailsTheHtmBrowserGetsTheAddressAfterItsCutCommand) {
    classes.set_default(".htm", "kwtest.htmlfile");
    classes.set_default("kwtest.htmlfile\\shell\\open\\command", recorder.quoted_program() + " \"%1\" -x");
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框1);
    const HWND label = make_label(LinkLabelId::超级链接框1, 10, 62, 405, 19);
    press(label);
    EXPECT_EQ(recorder.wait_for_record(), recorder.quoted_program() + "  " + web_addresses().maker_home + "\r\n");
    leave(label);
    EXPECT_EQ(text_colour_shown(label, spec), "visited");
}

TEST_F(LinkLabelWindow, RightClicksAndKeysOpenNothingAndTabPassesTheLabelBy) {
    register_http_browser();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HWND before = CreateWindowExA(0, "BUTTON", "a", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 100, 50, 20,
                                        window.get(), nullptr, instance, nullptr);
    const LinkLabelSpec spec = link_label_spec(LinkLabelId::超级链接框2);
    const HWND label = make_label(LinkLabelId::超级链接框2, 60, 100, 58, 16);
    const HWND after = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 130, 100, 50, 20,
                                       window.get(), nullptr, instance, nullptr);
    EXPECT_EQ(GetNextDlgTabItem(window.get(), before, FALSE), after);

    SetFocus(before);
    move_to(label, 10, 8);
    SendMessageA(label, WM_RBUTTONDOWN, MK_RBUTTON, at(3, 3));
    SendMessageA(label, WM_RBUTTONUP, 0, at(3, 3));
    SendMessageA(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), at(3, 3));
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        SendMessageA(label, WM_KEYDOWN, key, 0);
        SendMessageA(label, WM_CHAR, key, 0);
        SendMessageA(label, WM_KEYUP, key, 0);
    }
    leave(label);
    EXPECT_EQ(text_colour_shown(label, spec), "normal");

    press(label);
    EXPECT_EQ(GetFocus(), before) << "a press must not pull the focus onto the label";
    // The press's own start is the only one: a right click that opened would
    // have started the stand-in earlier.
    EXPECT_EQ(recorder.wait_for_record(), recorder.quoted_program() + " \"" + spec.address + "\"\r\n");
}

TEST_F(ScratchClasses, ClassValuesAreReadOnlyWhenTheyFitTheBuffer) {
    struct Case {
        const char* why;
        const char* key;
        std::string stored;  // the raw bytes of the default value
        std::optional<Text> read;
    };
    const std::string fits(259, 'v');
    const Case cases[] = {
        {"259 bytes and the NUL fill the buffer", "kwtest.a", fits + '\0', fits},
        {"260 bytes leave no room for the NUL", "kwtest.b", fits + "v" + '\0', std::nullopt},
        {"stored without its NUL, 259 bytes still fit", "kwtest.c", fits, fits},
        {"stored without its NUL, 260 bytes do not", "kwtest.d", fits + "v", std::nullopt},
        {"the value ends at its first NUL", "kwtest.e", std::string("ab\0cd\0", 6), Text("ab")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        classes.set_raw(c.key, c.stored);
        EXPECT_EQ(system_link_platform().read_class_default(c.key, class_value_buffer_size), c.read);
    }
    EXPECT_EQ(system_link_platform().read_class_default("kwtest.missing", class_value_buffer_size), std::nullopt);
}

}  // namespace
