// The real program under Wine, driven from outside like a user would.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <iterator>

#include "expand/generate.h"
#include "tests/text_lines.h"
#include "tests/limit_input.h"
#include "tests/win32/driver_win32.h"
#include "tests/win32/stand_in_browser.h"
#include "ui/control_ids.h"

namespace {

// The name an accessibility client reads for a window, in the ANSI code page.
std::string accessible_name(HWND window) {
    IAccessible* accessible = nullptr;
    // IAccessible, {618736E0-3C3D-11CF-810C-00AA00389B71}, spelled out: the IID_IAccessible
    // that this MinGW links in is not the one oleacc answers to (E_NOINTERFACE).
    const IID accessible_iid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    const HRESULT got = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), accessible_iid,
                                                   reinterpret_cast<void**>(&accessible));
    if (FAILED(got) || !accessible) return "(no accessible object: " + std::to_string(got) + ")";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result = "(no name)";
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        const int length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
        result.assign(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
        if (length > 1) WideCharToMultiByte(CP_ACP, 0, name, -1, result.data(), length, nullptr, nullptr);
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

// The folder the release zip was unpacked into: the program under test sits in it.
std::string unpacked_release_folder() {
    return program_under_test.substr(0, program_under_test.find_last_of('\\'));
}
}  // namespace

TEST(Program, StartsFromAnotherFolderWithCategoryOneLoadedAndUnwritten) {
    ProgramCopy copy;
    const std::string seeds = "北京\r\n上海", statements = "*旅游攻略\r\n*哪里好玩", result = "old result";
    write_file_bytes(copy.data("tag1.txt"), seeds);
    write_file_bytes(copy.data("ty1.txt"), statements);
    write_file_bytes(copy.data("gjc1.txt"), result);
    const FILETIME times[] = {age_file(copy.data("tag1.txt")), age_file(copy.data("ty1.txt")),
                              age_file(copy.data("gjc1.txt"))};

    RunningProgram program(copy, "ignored --arguments", "C:\\");
    ASSERT_TRUE(program.window());
    EXPECT_EQ(program.text(program.control(id_种子编辑框)), seeds);
    EXPECT_EQ(program.text(program.control(id_通用编辑框)), statements);
    EXPECT_EQ(program.text(program.control(id_合成编辑框)), result);
    EXPECT_EQ(SendMessageA(program.control(id_单选框1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(program.focus(), program.control(id_种子编辑框));
    EXPECT_TRUE(file_is(copy.data("tag1.txt"), seeds));
    EXPECT_TRUE(same_time(write_time(copy.data("tag1.txt")), times[0]));
    EXPECT_TRUE(same_time(write_time(copy.data("ty1.txt")), times[1]));
    EXPECT_TRUE(same_time(write_time(copy.data("gjc1.txt")), times[2]));
}

TEST(Program, TheUnpackedReleaseStartsOnItsShippedData) {
    // The whole zip as a user unpacks it: the program and its data folder.
    const std::string shipped = unpacked_release_folder();
    ProgramCopy copy;
    for (int n = 1; n <= 10; ++n)
        for (const char* kind : {"tag", "ty", "gjc"}) {
            const std::string name = kind + std::to_string(n) + ".txt";
            ASSERT_TRUE(CopyFileA((shipped + "\\data\\" + name).c_str(), copy.data(name).c_str(), FALSE)) << name;
        }
    const std::string seeds = read_file_bytes(copy.data("tag1.txt"));
    const std::string statements = read_file_bytes(copy.data("ty1.txt"));
    ASSERT_FALSE(seeds.empty()) << "the release ships example seeds";
    ASSERT_FALSE(statements.empty()) << "and example statements";

    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    EXPECT_EQ(program.text(program.control(id_种子编辑框)), seeds);
    EXPECT_EQ(program.text(program.control(id_通用编辑框)), statements);
    program.click(program.control(id_生成关键词按钮));
    const std::string expected = expand_statements(statements, split_by_delimiter(seeds, crlf));
    EXPECT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 20000));
    EXPECT_EQ(program.text(program.control(id_合成编辑框)), expected);
}

TEST(Program, GenerateWritesTheResultFileEqualToTheBox) {
    struct Case { const char* why; std::string seeds; std::string statements; std::string blocks; };
    const Case cases[] = {
        {"final CR LF adds no seed", "red\r\nblue\r\n", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"blank seed line", "red\r\n\r\nblue", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\n shoes\r\ncheap  shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"statements ending in CR LF", "北京", "*旅游\r\n", "北京旅游\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        write_file_bytes(copy.data("tag1.txt"), c.seeds);
        write_file_bytes(copy.data("ty1.txt"), c.statements);
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        program.click(program.control(id_生成关键词按钮));
        const std::string expected = banner_line() + c.blocks;
        EXPECT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 20000));
        EXPECT_EQ(program.text(program.control(id_合成编辑框)), expected);
        EXPECT_TRUE(file_is(copy.data("tag1.txt"), c.seeds));
    }
}

TEST(Program, LimitsShowTheWarningAndWriteNothing) {
    struct Case { const char* why; int seeds; int statement_lines; const Text* message; };
    const Case cases[] = {
        {"201 seeds", 201, 3, &seed_warning},
        {"801 statement lines", 200, 801, &statement_warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        write_file_bytes(copy.data("tag1.txt"), lines(c.seeds, "k"));
        write_file_bytes(copy.data("ty1.txt"), lines(c.statement_lines, "*"));
        write_file_bytes(copy.data("gjc1.txt"), "kept");
        const FILETIME kept = age_file(copy.data("gjc1.txt"));
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        program.click(program.control(id_生成关键词按钮));
        HWND box = program.wait_for_box(warning_title);
        ASSERT_TRUE(box);
        EXPECT_EQ(program.box_text(box), *c.message);
        EXPECT_FALSE(IsWindowEnabled(program.window())) << "the warning is modal for the task";
        program.close_box(box);
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(program.window()) != FALSE; }, 10000));
        EXPECT_EQ(program.text(program.control(id_合成编辑框)), "kept");
        EXPECT_TRUE(same_time(write_time(copy.data("gjc1.txt")), kept));
    }
}

TEST(Program, ClosingByEscOrCloseCommandExitsWithZero) {
    struct Case { const char* why; void (*close)(RunningProgram&); };
    const Case cases[] = {
        {"Esc pressed in the window", [](RunningProgram& program) { program.press(VK_ESCAPE); }},
        {"the close command, as the close box and Alt+F4 send it",
         [](RunningProgram& program) { PostMessageA(program.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    ProgramCopy copy;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        c.close(program);
        DWORD code = 1;
        ASSERT_TRUE(program.wait_for_exit(20000, &code));
        EXPECT_EQ(code, 0u);
    }
}

TEST(Program, WindowAndControlsAreWhereTheLayoutPutsThem) {
    ProgramCopy copy;
    RunningProgram program(copy);
    HWND window = program.window();
    ASSERT_TRUE(window);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 723);
    EXPECT_EQ(outer.bottom - outer.top, 733);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 723) / 2) << "centred";
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 733) / 2);
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, " Tessaryn 批量生成关键词软件 V1.3");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << "fixed frame, no maximise";

    struct Row { int id; int x, y, width, height; const char* text; };
    // Stacking order, top to bottom, for the window and for each panel.
    const Row window_rows[] = {
        {id_超文本浏览框1, 2, 689, 715, 18, nullptr},
        {id_单选框1 + 0, 17, 581, 64, 16, "莫认区"}, {id_单选框1 + 1, 85, 581, 64, 16, "省市县"},
        {id_单选框1 + 2, 153, 581, 64, 16, "提问类"}, {id_单选框1 + 3, 221, 581, 64, 16, "热门类"},
        {id_单选框1 + 4, 289, 581, 64, 16, "学术类"}, {id_单选框1 + 5, 357, 581, 64, 16, "产品类"},
        {id_单选框1 + 6, 425, 581, 64, 16, "搜索类"}, {id_单选框1 + 7, 493, 581, 64, 16, "未知一"},
        {id_单选框1 + 8, 561, 581, 64, 16, "未知二"}, {id_单选框1 + 9, 636, 581, 64, 16, "未知三"},
        {id_分组框1, 2, 603, 424, 85, "软件说明"},
        {id_生成关键词按钮, 431, 608, 284, 32, "点 击 生 成   括 展 关 键 词"},
        {id_分组框2, 432, 648, 285, 40, "网站管理"},
        {id_合成编辑框, 420, 0, 298, 566, nullptr}, {id_通用编辑框, 200, 0, 220, 566, nullptr},
        {id_种子编辑框, 0, 0, 200, 566, nullptr},
        {id_分组框3, 2, 568, 715, 34, "分类"},
    };
    const Row group1_rows[] = {
        {id_超级链接框1, 10, 62, 405, 19, "本软件由Tessaryn 制作，本软件是免费共享软件！详情http://tsr.example/"},
        {id_标签3, 11, 45, 325, 19, "通配语句中，每行一句，每行中必需包含一个通配符*号！"},
        {id_标签2, 11, 29, 325, 19, "关键词每行一个，不能有无效数据或空行，否则将出现错误！"},
        {id_标签1, 11, 12, 317, 19, "以上三项分别是，关键词、通配语句、匹配结果！"},
    };
    const Row group2_rows[] = {
        {id_超级链接框5, 216, 16, 57, 16, "软件官方"}, {id_超级链接框4, 130, 16, 79, 16, "璐玛谷"},
        {id_超级链接框3, 72, 16, 51, 16, "奎维克"}, {id_超级链接框2, 7, 16, 58, 16, "Tessaryn"},
    };
    auto check = [&](HWND parent, const Row* rows, std::size_t count) {
        HWND child = GetWindow(parent, GW_CHILD);
        for (std::size_t i = 0; i < count; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
            const Row& row = rows[i];
            SCOPED_TRACE(row.id);
            ASSERT_TRUE(child);
            EXPECT_EQ(GetDlgCtrlID(child), row.id) << "stacking order";
            EXPECT_TRUE(IsWindowVisible(child));
            RECT place;
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
            EXPECT_EQ(place.left, row.x);
            EXPECT_EQ(place.top, row.y);
            EXPECT_EQ(place.right - place.left, row.width);
            EXPECT_EQ(place.bottom - place.top, row.height);
            if (row.text) {
                EXPECT_EQ(program.text(child), row.text);
            }
        }
        EXPECT_FALSE(child) << "no further controls";
    };
    check(window, window_rows, std::size(window_rows));
    EXPECT_TRUE(GetWindow(program.control(id_超文本浏览框1), GW_CHILD)) << "the strip holds the browser's window";
    check(program.control(id_分组框1), group1_rows, std::size(group1_rows));
    check(program.control(id_分组框2), group2_rows, std::size(group2_rows));
}

// A screen reader or any other tool names a control by its window text, asked
// for from another process: the self-drawn labels must carry what they draw.
TEST(Program, LabelCaptionsAreTheirWindowTextForOtherProcesses) {
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    struct Row { int id; const char* caption; };
    const Row rows[] = {
        {id_超级链接框1, "本软件由Tessaryn 制作，本软件是免费共享软件！详情http://tsr.example/"},
        {id_超级链接框2, "Tessaryn"}, {id_超级链接框3, "奎维克"}, {id_超级链接框4, "璐玛谷"},
        {id_超级链接框5, "软件官方"},
        {id_标签1, "以上三项分别是，关键词、通配语句、匹配结果！"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        HWND label = program.control(row.id);
        char text[256] = {};
        GetWindowTextA(label, text, sizeof text);
        EXPECT_STREQ(text, row.caption) << "GetWindowTextA";
        EXPECT_EQ(program.text(label), row.caption) << "WM_GETTEXT";
        EXPECT_EQ(accessible_name(label), row.caption) << "the accessible name";
    }
}

TEST(Program, PanelColourFillsTheWindowAndTheInsideOfThePanels) {
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    struct Spot { const char* why; int control; int x, y; COLORREF colour; };
    const Spot spots[] = {
        {"window, between the boxes and the radio row", 0, 100, 567, RGB(236, 236, 236)},
        {"inside 分组框1, right of the hint lines", id_分组框1, 400, 30, RGB(236, 236, 236)},
        {"inside 分组框2, under its labels", id_分组框2, 140, 35, RGB(236, 236, 236)},
        {"inside 分组框3, between two radio buttons", 0, 83, 590, RGB(236, 236, 236)},
        {"editor box background", id_合成编辑框, 150, 300, RGB(255, 255, 255)},
    };
    HDC screen = GetDC(nullptr);
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.why);
        POINT at{spot.x, spot.y};
        ClientToScreen(spot.control ? program.control(spot.control) : program.window(), &at);
        // The first paint comes when the program gets to it, later on a busy machine.
        wait_until([&] { return GetPixel(screen, at.x, at.y) == spot.colour; }, 10000);
        EXPECT_EQ(GetPixel(screen, at.x, at.y), spot.colour);
    }
    ReleaseDC(nullptr, screen);
}

TEST(Program, SwitchingAndTypingRewriteOnlyTheCurrentFile) {
    ProgramCopy copy;
    write_file_bytes(copy.data("tag1.txt"), "one");
    write_file_bytes(copy.data("tag3.txt"), "three");
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    const FILETIME first = age_file(copy.data("tag1.txt"));
    program.click(program.control(id_单选框1 + 2));
    ASSERT_TRUE(wait_until([&] { return program.text(program.control(id_种子编辑框)) == "three"; }, 10000));
    EXPECT_EQ(SendMessageA(program.control(id_单选框1 + 2), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(program.control(id_单选框1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(file_is(copy.data("ty3.txt"), "")) << "missing files are created empty";
    EXPECT_TRUE(file_is(copy.data("gjc3.txt"), ""));
    const FILETIME seed3 = age_file(copy.data("tag3.txt"));
    const FILETIME result3 = age_file(copy.data("gjc3.txt"));

    program.type(program.control(id_通用编辑框), "a*");
    EXPECT_TRUE(wait_until([&] { return file_is(copy.data("ty3.txt"), "a*"); }, 10000));
    EXPECT_TRUE(same_time(write_time(copy.data("tag3.txt")), seed3));
    EXPECT_TRUE(same_time(write_time(copy.data("gjc3.txt")), result3));
    EXPECT_TRUE(same_time(write_time(copy.data("tag1.txt")), first));
    bool exists = true;
    read_file_bytes(copy.data("ty1.txt"), &exists);
    EXPECT_TRUE(exists) << "category 1's empty box was saved at start";

    // A click puts the caret before the first character; Enter is a key, not a character.
    HWND statement_box = program.control(id_通用编辑框);
    PostMessageA(statement_box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    PostMessageA(statement_box, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    ASSERT_TRUE(wait_until([&] { return program.focus() == statement_box; }, 5000));
    program.press(VK_RETURN);
    EXPECT_TRUE(wait_until([&] { return file_is(copy.data("ty3.txt"), "\r\na*"); }, 10000));
    program.type(statement_box, "4");
    EXPECT_TRUE(wait_until([&] { return file_is(copy.data("ty3.txt"), "\r\n4a*"); }, 10000))
        << "Enter in a box is a CR LF in its file: " << ::testing::PrintToString(read_file_bytes(copy.data("ty3.txt")));
}

TEST(Program, WithoutADataFolderNothingIsCreated) {
    ProgramCopy copy("keyword_expander.exe", false);
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    program.type(program.control(id_种子编辑框), "red");
    program.type(program.control(id_通用编辑框), "* shoes");
    program.click(program.control(id_生成关键词按钮));
    const std::string expected = banner_line() + "red shoes\r\n";
    EXPECT_TRUE(wait_until([&] { return program.text(program.control(id_合成编辑框)) == expected; }, 10000));
    program.click(program.control(id_单选框1 + 9));
    EXPECT_TRUE(wait_until([&] { return program.text(program.control(id_合成编辑框)).empty(); }, 10000));
    EXPECT_EQ(GetFileAttributesA((copy.folder() + "\\data").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Program, ReadOnlyAndUnsharedFilesLoadEmptyAndKeepTheirBytes) {
    ProgramCopy copy;
    write_file_bytes(copy.data("tag1.txt"), "read only");
    SetFileAttributesA(copy.data("tag1.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    write_file_bytes(copy.data("ty1.txt"), "held");
    HANDLE held = CreateFileA(copy.data("ty1.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    EXPECT_EQ(program.text(program.control(id_种子编辑框)), "");
    EXPECT_EQ(program.text(program.control(id_通用编辑框)), "");
    program.type(program.control(id_种子编辑框), "typed");
    program.type(program.control(id_通用编辑框), "typed");
    program.type(program.control(id_合成编辑框), "r");
    EXPECT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), "r"); }, 10000));
    CloseHandle(held);
    EXPECT_TRUE(file_is(copy.data("tag1.txt"), "read only"));
    EXPECT_TRUE(file_is(copy.data("ty1.txt"), "held"));
    SetFileAttributesA(copy.data("tag1.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Program, TabShiftTabAndArrowKeysFollowTheFocusOrder) {
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    auto focus_becomes = [&](int id) {
        HWND control = program.control(id);
        return wait_until([&] { HWND f = program.focus(); return f == control || IsChild(control, f); }, 5000);
    };
    auto checked = [&](int n) { return SendMessageA(program.control(id_单选框1 + n - 1), BM_GETCHECK, 0, 0) == BST_CHECKED; };

    const int tab_order[] = {id_通用编辑框, id_合成编辑框, id_生成关键词按钮, id_单选框10};
    for (int id : tab_order) {
        program.press(VK_TAB);
        EXPECT_TRUE(focus_becomes(id)) << id;
    }
    EXPECT_EQ(program.text(program.control(id_种子编辑框)), "") << "no tab typed";
    EXPECT_TRUE(checked(1)) << "Tab onto a radio button selects nothing";
    EXPECT_FALSE(checked(10));
    EXPECT_FALSE(GetFileAttributesA(copy.data("tag10.txt").c_str()) != INVALID_FILE_ATTRIBUTES);

    struct Step { WORD key; int radio; };
    const Step steps[] = {{VK_RIGHT, 9}, {VK_DOWN, 8}, {VK_LEFT, 9}, {VK_UP, 10}, {VK_LEFT, 1}, {VK_RIGHT, 10}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.radio);
        program.press(step.key);
        EXPECT_TRUE(focus_becomes(id_单选框1 + step.radio - 1));
        EXPECT_TRUE(wait_until([&] { return checked(step.radio); }, 5000));
        for (int n = 1; n <= 10; ++n) {
            if (n != step.radio) {
                EXPECT_FALSE(checked(n)) << n;
            }
        }
        const std::string seed_file = copy.data("tag" + std::to_string(step.radio) + ".txt");
        EXPECT_TRUE(wait_until([&] { return GetFileAttributesA(seed_file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000))
            << "the category was selected";
    }

    program.press(VK_TAB, true);  // back to the generate button
    EXPECT_TRUE(focus_becomes(id_生成关键词按钮));
    program.press(VK_RETURN);
    program.press(VK_TAB, true);
    EXPECT_TRUE(focus_becomes(id_合成编辑框));
    EXPECT_EQ(program.text(program.control(id_合成编辑框)), "") << "Enter on the button generates nothing";
    program.press(VK_TAB);
    EXPECT_TRUE(focus_becomes(id_生成关键词按钮));
    program.press(VK_SPACE);
    EXPECT_TRUE(wait_until([&] { return program.text(program.control(id_合成编辑框)) == banner_line(); }, 5000))
        << "Space on the button generates";
    program.press(VK_TAB, true);
    EXPECT_TRUE(focus_becomes(id_合成编辑框));
    for (int i = 0; i < 2; ++i) program.press(VK_TAB, true);
    EXPECT_TRUE(focus_becomes(id_种子编辑框));
    program.press(VK_TAB, true);
    EXPECT_TRUE(focus_becomes(id_超文本浏览框1)) << "Shift+Tab from the seed box wraps to the web strip";
}

TEST(Program, PointerIsTheHandOverRadioButtonsButtonAndLinks) {
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    // The pointer is set where the window shows it after a move reaches the
    // window's thread: move onto the spot from one pixel away, then wait for
    // the reading to hold still.
    auto pointer_over = [&](HWND control, int x, int y) {
        POINT at{x, y};
        ClientToScreen(control, &at);
        SetCursorPos(at.x - 1, at.y);
        Sleep(100);
        SetCursorPos(at.x, at.y);
        HCURSOR shown = nullptr;
        int steady = 0;
        wait_until([&] {
            Sleep(100);
            CURSORINFO info{};
            info.cbSize = sizeof info;
            GetCursorInfo(&info);
            steady = info.hCursor && info.hCursor == shown ? steady + 1 : 0;
            shown = info.hCursor;
            return steady >= 3;
        }, 5000);
        return shown;
    };
    // Cursor handles differ between processes, so the pointers are compared
    // with each other: the arrow over the window, one hand over the rest.
    const HCURSOR on_window = pointer_over(program.window(), 100, 567);
    const HCURSOR on_button = pointer_over(program.control(id_生成关键词按钮), 140, 16);
    EXPECT_NE(on_button, on_window);
    EXPECT_EQ(pointer_over(program.control(id_单选框1 + 4), 30, 8), on_button);
    EXPECT_EQ(pointer_over(program.control(id_超级链接框5), 28, 8), on_button);
    EXPECT_EQ(pointer_over(program.window(), 100, 567), on_window);
}

TEST(Program, ReactivationGivesTheFocusBackToTheLastFocusedControl) {
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    program.press(VK_TAB);
    ASSERT_TRUE(wait_until([&] { return program.focus() == program.control(id_通用编辑框); }, 5000));
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    MSG msg;
    EXPECT_TRUE(wait_until([&] {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return GetForegroundWindow() == other;
    }, 5000));
    program.press(VK_TAB);  // goes to the other window, not to the program
    SetForegroundWindow(program.window());
    EXPECT_TRUE(wait_until([&] { return program.focus() == program.control(id_通用编辑框); }, 5000));
    DestroyWindow(other);
}

TEST(Program, TwoCopiesShareTheDataFiles) {
    ProgramCopy copy;
    RunningProgram first(copy);
    ASSERT_TRUE(first.window());
    RunningProgram second(copy);
    ASSERT_TRUE(second.window());
    EXPECT_NE(first.window(), second.window());
    first.type(first.control(id_种子编辑框), "shared");
    ASSERT_TRUE(wait_until([&] { return file_is(copy.data("tag1.txt"), "shared"); }, 10000));
    second.click(second.control(id_单选框1));
    EXPECT_TRUE(wait_until([&] { return second.text(second.control(id_种子编辑框)) == "shared"; }, 10000));
}

namespace {
// A per-program DLL override: the copy named `exe_name` cannot load `dlls`.
class DisabledDlls {
public:
    DisabledDlls(const std::string& exe_name, std::initializer_list<const char*> dlls)
        : key_("Software\\Wine\\AppDefaults\\" + exe_name) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr);
        for (const char* dll : dlls) RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }
    ~DisabledDlls() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

private:
    std::string key_;
};
}  // namespace

TEST(Program, AMissingControlLibraryEndsInTheFatalBox) {
    struct Case { const char* why; const char* exe; std::initializer_list<const char*> dlls; };
    const Case cases[] = {
        {"both rich-edit libraries missing", "kw_no_rich_edit.exe", {"riched20", "riched32"}},
        {"no web-browser control", "kw_no_browser.exe", {"ieframe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DisabledDlls disabled(c.exe, c.dlls);
        ProgramCopy copy(c.exe);
        write_file_bytes(copy.data("tag1.txt"), "seed");
        const FILETIME seed_written = age_file(copy.data("tag1.txt"));
        RunningProgram program(copy);
        HWND box = program.wait_for_box("错误");
        ASSERT_TRUE(box);
        EXPECT_EQ(program.box_text(box), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
        EXPECT_FALSE(program.window(0));
        program.close_box(box);
        DWORD code = 0;
        ASSERT_TRUE(program.wait_for_exit(20000, &code));
        EXPECT_EQ(code, 0xFFFFFFFFu);
        EXPECT_TRUE(same_time(write_time(copy.data("tag1.txt")), seed_written));
        EXPECT_EQ(GetFileAttributesA(copy.data("ty1.txt").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing was written";
    }
}

namespace {
std::string record_open_program;  // the tests' stand-in browser, a Windows path

// For the life of this object the prefix's handler for http addresses, the
// one the started program's shell finds, is the given command.
class HttpHandler {
public:
    explicit HttpHandler(const std::string& command) {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr);
        char old[1024] = {};
        DWORD size = sizeof old;
        had_value_ = RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
                     ERROR_SUCCESS;
        old_value_ = old;
        RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }
    ~HttpHandler() {
        if (had_value_)
            RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_value_.c_str()),
                           static_cast<DWORD>(old_value_.size() + 1));
        else
            RegDeleteValueA(key_, nullptr);
        RegCloseKey(key_);
    }
    HttpHandler(const HttpHandler&) = delete;
    HttpHandler& operator=(const HttpHandler&) = delete;

private:
    static constexpr const char* key = "Software\\Classes\\http\\shell\\open\\command";
    HKEY key_ = nullptr;
    bool had_value_ = false;
    std::string old_value_;
};
}  // namespace

TEST(Program, ALinkLabelOpensItsAddressOnThePressOfTheLeftButton) {
    if (record_open_program.empty()) GTEST_SKIP() << "no stand-in browser given";
    StandInBrowser browser(record_open_program);
    HttpHandler http(browser.command());
    ProgramCopy copy;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    HWND right_clicked = program.control(id_超级链接框3);
    PostMessageA(right_clicked, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    PostMessageA(right_clicked, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    HWND pressed = program.control(id_超级链接框2);
    PostMessageA(pressed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // and no release
    const std::string expected = "\"" + record_open_program + "\" \"http://tsr.example/data/\"\r\n";
    EXPECT_TRUE(wait_until([&] { return browser.recorded() == expected; }, 30000))
        << ::testing::PrintToString(browser.recorded());
    Sleep(500);
    EXPECT_EQ(browser.recorded(), expected) << "the right click opened nothing";
}

// At the limit the result has 160,000 lines; emptying a rich edit that holds
// them is slow in Wine, so this is the case that shows a slow path.
TEST(Program, GenerateAtTheLimitTwice) {
    ProgramCopy copy;
    const LimitInput input = limit_input();
    write_file_bytes(copy.data("tag1.txt"), input.seeds);
    write_file_bytes(copy.data("ty1.txt"), input.statements);
    const std::string& expected = input.result;
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    for (int run = 1; run <= 2; ++run) {
        const DWORD start = GetTickCount();
        program.click(program.control(id_生成关键词按钮));
        ASSERT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 120000));
        DWORD_PTR ignored = 0;  // and until the program is idle again
        SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_BLOCK, 300000, &ignored);
        printf("generate %d at the limit: %lu ms\n", run, GetTickCount() - start);
    }
    const std::string shown = program.text(program.control(id_合成编辑框));
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_TRUE(shown == expected);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);  // for the accessibility client
    if (argc < 2) {
        fprintf(stderr, "usage: program_tests <keyword_expander.exe in the unpacked release> [<path of the stand-in browser>]\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    if (argc > 2) record_open_program = to_windows_path(argv[2]);
    return RUN_ALL_TESTS();
}
