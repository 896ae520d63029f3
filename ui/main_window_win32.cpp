#include "ui/main_window_win32.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <array>

#include "ui/event_handlers.h"
#include "ui/control_ids.h"
#include "ui/link_label_win32.h"
#include "ui/rich_edit_win32.h"
#include "ui/web_addresses.h"
#include "ui/web_strip_win32.h"
#include "ui/window_kit_win32.h"

namespace {

constexpr char window_class[] = "TessarynKeywordExpander";
constexpr char label_class[] = "TessarynLabel";
constexpr char caption[] = " Tessaryn 批量生成关键词软件 V1.3";
constexpr int window_width = 723;
constexpr int window_height = 733;
constexpr COLORREF panel_rgb = RGB(236, 236, 236);
constexpr COLORREF hint_colour = RGB(128, 128, 128);
constexpr COLORREF blue = RGB(0, 0, 255);


enum class Kind { web_strip, radio, group, link, label, button, editor };

struct ControlRow {
    int id;
    Kind kind;
    int parent_id;  // 0: the window itself
    int x, y, width, height;
    const char* text;
};

// The controls in stacking order, top to bottom; each panel's children are
// stacked by themselves in the order given.
constexpr ControlRow layout[] = {
    {id_超文本浏览框1, Kind::web_strip, 0, 2, 689, 715, 18, nullptr},
    {id_单选框1 + 0, Kind::radio, 0, 17, 581, 64, 16, "莫认区"},
    {id_单选框1 + 1, Kind::radio, 0, 85, 581, 64, 16, "省市县"},
    {id_单选框1 + 2, Kind::radio, 0, 153, 581, 64, 16, "提问类"},
    {id_单选框1 + 3, Kind::radio, 0, 221, 581, 64, 16, "热门类"},
    {id_单选框1 + 4, Kind::radio, 0, 289, 581, 64, 16, "学术类"},
    {id_单选框1 + 5, Kind::radio, 0, 357, 581, 64, 16, "产品类"},
    {id_单选框1 + 6, Kind::radio, 0, 425, 581, 64, 16, "搜索类"},
    {id_单选框1 + 7, Kind::radio, 0, 493, 581, 64, 16, "未知一"},
    {id_单选框1 + 8, Kind::radio, 0, 561, 581, 64, 16, "未知二"},
    {id_单选框1 + 9, Kind::radio, 0, 636, 581, 64, 16, "未知三"},
    {id_分组框1, Kind::group, 0, 2, 603, 424, 85, "软件说明"},
    {id_超级链接框1, Kind::link, id_分组框1, 10, 62, 405, 19, nullptr},
    {id_标签3, Kind::label, id_分组框1, 11, 45, 325, 19, "通配语句中，每行一句，每行中必需包含一个通配符*号！"},
    {id_标签2, Kind::label, id_分组框1, 11, 29, 325, 19, "关键词每行一个，不能有无效数据或空行，否则将出现错误！"},
    {id_标签1, Kind::label, id_分组框1, 11, 12, 317, 19, "以上三项分别是，关键词、通配语句、匹配结果！"},
    {id_生成关键词按钮, Kind::button, 0, 431, 608, 284, 32, "点 击 生 成   括 展 关 键 词"},
    {id_分组框2, Kind::group, 0, 432, 648, 285, 40, "网站管理"},
    {id_超级链接框5, Kind::link, id_分组框2, 216, 16, 57, 16, nullptr},
    {id_超级链接框4, Kind::link, id_分组框2, 130, 16, 79, 16, nullptr},
    {id_超级链接框3, Kind::link, id_分组框2, 72, 16, 51, 16, nullptr},
    {id_超级链接框2, Kind::link, id_分组框2, 7, 16, 58, 16, nullptr},
    {id_合成编辑框, Kind::editor, 0, 420, 0, 298, 566, nullptr},
    {id_通用编辑框, Kind::editor, 0, 200, 0, 220, 566, nullptr},
    {id_种子编辑框, Kind::editor, 0, 0, 0, 200, 566, nullptr},
    {id_分组框3, Kind::group, 0, 2, 568, 715, 34, "分类"},
};

HFONT default_gui_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HFONT make_font(const char* face, int pixel_height, int weight) {
    return CreateFontA(-pixel_height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, face);
}

}  // namespace

class MainWindow final : public WindowOps {
public:
    explicit MainWindow(Disk& disk) : store(disk, *this), events(store, *this) {}

    HWND window = nullptr;
    HWND 超文本浏览框1 = nullptr;
    std::array<HWND, 11> 单选框{};  // 单选框[1] to 单选框[10]
    HWND 分组框1 = nullptr, 分组框2 = nullptr, 分组框3 = nullptr;
    HWND 生成关键词按钮 = nullptr;
    HWND 种子编辑框 = nullptr, 通用编辑框 = nullptr, 合成编辑框 = nullptr;

    UniqueLibrary rich_edit_library;
    UniqueLibrary older_rich_edit_library;
    RichEditClass rich_edit;
    UniqueGdiObject radio_font;
    UniqueGdiObject button_font;
    UniqueGdiObject panel_brush;
    HCURSOR hand = nullptr;

    CategoryStore store;
    EventHandlers events;
    void (*window_destroyed)(HWND) = nullptr;

    bool building = true;
    int checked_radio = 1;
    // A click notice that a radio button raises by itself while its focus
    // changes selects nothing (set around the radio buttons' focus messages).
    bool radio_focus_changing = false;
    HWND last_focus = nullptr;

    HWND& box_slot(BoxKind kind) {
        switch (kind) {
        case BoxKind::seed: return 种子编辑框;
        case BoxKind::statement: return 通用编辑框;
        case BoxKind::result: break;
        }
        return 合成编辑框;
    }

    std::array<HWND, 15> focus_order() const {
        return {种子编辑框, 通用编辑框, 合成编辑框, 生成关键词按钮, 单选框[10], 单选框[9], 单选框[8], 单选框[7],
                单选框[6],  单选框[5],  单选框[4],  单选框[3],     单选框[2],  单选框[1],  超文本浏览框1};
    }

    int radio_number(HWND control) const {
        for (int n = 1; n <= 10; ++n)
            if (单选框[n] == control) return n;
        return 0;
    }

    Text read_box_text(BoxKind kind) override { return rich_edit_get_text(box_slot(kind)); }

    bool set_box_text(BoxKind kind, const Text& text) override {
        HWND& slot = box_slot(kind);
        // A box with text is replaced by a fresh one instead of being emptied:
        // the result box holds 160,000 lines after a generate at the limit.
        auto empty_box = [&] {
            if (rich_edit_is_empty(slot)) return;
            if (HWND fresh = rich_edit_replace(slot, rich_edit)) {
                if (last_focus == slot) last_focus = fresh;
                slot = fresh;
            }
        };
        empty_box();
        const bool holds = rich_edit_set_text(slot, text);
        if (!holds) empty_box();  // never a part of the text
        // The change notice of the replacement, delivered nested and exactly once.
        events.handle_box_change(kind);
        return holds;
    }

    void show_warning(const Text& message, const Text& title) override {
        MessageBoxA(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    }
};

void MainWindowDeleter::operator()(MainWindow* window) const {
    if (window->window && IsWindow(window->window)) DestroyWindow(window->window);
    delete window;
}

HWND main_window_handle(const MainWindow& window) { return window.window; }
CategoryStore& main_window_store(MainWindow& window) { return window.store; }

namespace {

MainWindow* main_window_of(HWND hwnd) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void check_radio(MainWindow& w, int n) {
    w.checked_radio = n;
    for (int i = 1; i <= 10; ++i) Button_SetCheck(w.单选框[i], i == n ? BST_CHECKED : BST_UNCHECKED);
}

// ---- the window procedure, one line per message -------------------------

void on_command(HWND hwnd, int id, HWND, UINT code) {
    MainWindow* w = main_window_of(hwnd);
    if (!w || w->building) return;
    switch (id) {
    case id_种子编辑框: if (code == EN_CHANGE) w->events.handle_box_change(BoxKind::seed); return;
    case id_通用编辑框: if (code == EN_CHANGE) w->events.handle_box_change(BoxKind::statement); return;
    case id_合成编辑框: if (code == EN_CHANGE) w->events.handle_box_change(BoxKind::result); return;
    case id_生成关键词按钮: if (code == BN_CLICKED) w->events.handle_generate_click(); return;
    }
    if (id >= id_单选框1 && id <= id_单选框10 && code == BN_CLICKED && !w->radio_focus_changing) {
        check_radio(*w, id - id_单选框1 + 1);
        w->events.handle_category_click(id - id_单选框1 + 1);
    }
}

HBRUSH on_ctl_color_static(HWND hwnd, HDC dc, HWND control, int) {
    MainWindow* w = main_window_of(hwnd);
    if (!w) return nullptr;
    COLORREF text = RGB(0, 0, 0);
    if (control == w->分组框1) text = hint_colour;
    if (control == w->分组框2 || control == w->分组框3) text = blue;
    SetTextColor(dc, text);
    SetBkColor(dc, panel_rgb);
    return static_cast<HBRUSH>(w->panel_brush.get());
}

BOOL on_set_cursor(HWND hwnd, HWND under, UINT hit_test, UINT) {
    MainWindow* w = main_window_of(hwnd);
    if (w && hit_test == HTCLIENT && (w->radio_number(under) || under == w->生成关键词按钮)) {
        SetCursor(w->hand);
        return TRUE;
    }
    return FORWARD_WM_SETCURSOR(hwnd, under, hit_test, 0, DefWindowProcA);
}

void on_activate(HWND hwnd, UINT state, HWND, BOOL minimized) {
    MainWindow* w = main_window_of(hwnd);
    if (!w) return;
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) w->last_focus = focus;
    } else if (!minimized) {
        SetFocus(w->last_focus && IsWindow(w->last_focus) ? w->last_focus : w->种子编辑框);
    }
}

BOOL on_erase_background(HWND hwnd, HDC dc) {
    MainWindow* w = main_window_of(hwnd);
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, w ? static_cast<HBRUSH>(w->panel_brush.get()) : GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void on_destroy(HWND hwnd) {
    if (MainWindow* w = main_window_of(hwnd)) {
        w->window = nullptr;
        if (w->window_destroyed) w->window_destroyed(hwnd);
    }
}

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
        HANDLE_MSG(hwnd, WM_COMMAND, on_command);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, on_ctl_color_static);
        HANDLE_MSG(hwnd, WM_SETCURSOR, on_set_cursor);
        HANDLE_MSG(hwnd, WM_ACTIVATE, on_activate);
        HANDLE_MSG(hwnd, WM_ERASEBKGND, on_erase_background);
        HANDLE_MSG(hwnd, WM_DESTROY, on_destroy);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- the self-drawn grey labels -----------------------------------------

LRESULT CALLBACK label_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT area;
        GetClientRect(hwnd, &area);
        HBRUSH panel = CreateSolidBrush(panel_rgb);
        FillRect(dc, &area, panel);
        DeleteObject(panel);
        char text[256];
        GetWindowTextA(hwnd, text, sizeof text);
        HGDIOBJ old_font = SelectObject(dc, default_gui_font());
        SetTextColor(dc, hint_colour);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text, -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old_font);
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- subclassed platform controls ---------------------------------------

LRESULT CALLBACK radio_subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* w = reinterpret_cast<MainWindow*>(data);
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
        const bool was = w->radio_focus_changing;
        w->radio_focus_changing = true;
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        w->radio_focus_changing = was;
        check_radio(*w, w->checked_radio);
        return result;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// A group box draws only its frame and caption; the panel colour fills the rest.
LRESULT CALLBACK group_subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_ERASEBKGND) {
        auto* w = reinterpret_cast<MainWindow*>(data);
        RECT area;
        GetClientRect(hwnd, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, static_cast<HBRUSH>(w->panel_brush.get()));
        return 1;
    }
    if (msg == WM_CTLCOLORSTATIC) return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool register_classes(HINSTANCE instance) {
    WNDCLASSEXA main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = main_window_proc;
    main.hInstance = instance;
    main.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    // The window's large and small icon come with its class.
    main.hIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
    main.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
    main.lpszClassName = window_class;
    WNDCLASSEXA label{};
    label.cbSize = sizeof label;
    label.lpfnWndProc = label_proc;
    label.hInstance = instance;
    label.hCursor = main.hCursor;
    label.lpszClassName = label_class;
    return ensure_window_class(main) && ensure_window_class(label);
}

LinkLabelId link_of(int id) {
    switch (id) {
    case id_超级链接框1: return LinkLabelId::超级链接框1;
    case id_超级链接框2: return LinkLabelId::超级链接框2;
    case id_超级链接框3: return LinkLabelId::超级链接框3;
    case id_超级链接框4: return LinkLabelId::超级链接框4;
    }
    return LinkLabelId::超级链接框5;
}

HWND with_id(HWND control, int id) {
    if (control) SetWindowLongPtrA(control, GWLP_ID, id);
    return control;
}

HWND make_control(MainWindow& w, const ControlRow& row, HWND parent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id));
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    switch (row.kind) {
    case Kind::editor: {
        HWND box = create_rich_edit(parent, w.rich_edit, row.id, row.x, row.y, row.width, row.height);
        if (!box && !w.older_rich_edit_library) {
            // Rich edit 2.0 loaded but its window cannot be made: the older control.
            w.older_rich_edit_library.reset(LoadLibraryA("RICHED32.DLL"));
            if (!w.older_rich_edit_library) return nullptr;
            w.rich_edit = {w.older_rich_edit_library.get(), "RICHEDIT"};
            box = create_rich_edit(parent, w.rich_edit, row.id, row.x, row.y, row.width, row.height);
        }
        return box;
    }
    case Kind::radio: {
        HWND radio = CreateWindowExA(0, "BUTTON", row.text, child | BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | BS_MULTILINE,
                                     row.x, row.y, row.width, row.height, parent, id, instance, nullptr);
        if (radio) {
            SetWindowSubclass(radio, radio_subclass, 1, reinterpret_cast<DWORD_PTR>(&w));
            SetWindowFont(radio, w.radio_font.get(), FALSE);
        }
        return radio;
    }
    case Kind::button: {
        HWND button = CreateWindowExA(0, "BUTTON", row.text, child | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE,
                                      row.x, row.y, row.width, row.height, parent, id, instance, nullptr);
        if (button) SetWindowFont(button, w.button_font.get(), FALSE);
        return button;
    }
    case Kind::group: {
        HWND group = CreateWindowExA(0, "BUTTON", row.text, child | WS_CLIPCHILDREN | BS_GROUPBOX, row.x, row.y,
                                     row.width, row.height, parent, id, instance, nullptr);
        if (group) {
            SetWindowSubclass(group, group_subclass, 1, reinterpret_cast<DWORD_PTR>(&w));
            SetWindowFont(group, default_gui_font(), FALSE);
        }
        return group;
    }
    case Kind::label: {
        HWND label = CreateWindowExA(0, label_class, row.text, child, row.x, row.y, row.width, row.height, parent, id,
                                     instance, nullptr);
        if (label) SetWindowFont(label, default_gui_font(), FALSE);
        return label;
    }
    case Kind::link:
        return with_id(create_link_label(parent, row.x, row.y, row.width, row.height, link_label_spec(link_of(row.id))),
                       row.id);
    case Kind::web_strip:
        return with_id(create_web_strip(parent, row.x, row.y, row.width, row.height,
                                        web_addresses().web_strip_page.c_str()),
                       row.id);
    }
    return nullptr;
}

void remember_control(MainWindow& w, int id, HWND control) {
    if (id >= id_单选框1 && id <= id_单选框10) w.单选框[id - id_单选框1 + 1] = control;
    switch (id) {
    case id_超文本浏览框1: w.超文本浏览框1 = control; break;
    case id_分组框1: w.分组框1 = control; break;
    case id_分组框2: w.分组框2 = control; break;
    case id_分组框3: w.分组框3 = control; break;
    case id_生成关键词按钮: w.生成关键词按钮 = control; break;
    case id_种子编辑框: w.种子编辑框 = control; break;
    case id_通用编辑框: w.通用编辑框 = control; break;
    case id_合成编辑框: w.合成编辑框 = control; break;
    }
}

HWND parent_of(const MainWindow& w, const ControlRow& row) {
    if (row.parent_id == id_分组框1) return w.分组框1;
    if (row.parent_id == id_分组框2) return w.分组框2;
    return w.window;
}

bool create_controls(MainWindow& w) {
    // Each parent's children are stacked in table order: each goes just below
    // the one before it.
    HWND below_window = HWND_TOP, below_group1 = HWND_TOP, below_group2 = HWND_TOP;
    for (const ControlRow& row : layout) {
        HWND control = make_control(w, row, parent_of(w, row));
        if (!control) return false;
        remember_control(w, row.id, control);
        HWND& previous = row.parent_id == id_分组框1   ? below_group1
                         : row.parent_id == id_分组框2 ? below_group2
                                                        : below_window;
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
    for (const ControlRow& row : layout) ShowWindow(GetDlgItem(parent_of(w, row), row.id), SW_SHOWNA);
    check_radio(w, 1);
    return true;
}

}  // namespace

MainWindowPtr create_main_window(Disk& disk, void (*window_destroyed)(HWND)) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    MainWindowPtr w(new MainWindow(disk));
    w->window_destroyed = window_destroyed;

    RichEditClass rich_edit = load_rich_edit_library();
    if (!rich_edit.library) return nullptr;
    w->rich_edit_library.reset(rich_edit.library);
    w->rich_edit = rich_edit;
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    if (!register_classes(instance)) return nullptr;

    w->radio_font.reset(make_font("宋体", 14, FW_NORMAL));
    w->button_font.reset(make_font("宋体", 16, FW_NORMAL));
    w->panel_brush.reset(CreateSolidBrush(panel_rgb));
    w->hand = load_hand_cursor(instance);

    const int left = (GetSystemMetrics(SM_CXSCREEN) - window_width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - window_height) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    w->window = CreateWindowExA(WS_EX_APPWINDOW, window_class, caption, style, left, top, window_width,
                                window_height, nullptr, nullptr, instance, w.get());
    if (!w->window) return nullptr;
    RECT outer;
    GetWindowRect(w->window, &outer);
    if (outer.right - outer.left != window_width || outer.bottom - outer.top != window_height)
        MoveWindow(w->window, left, top, window_width, window_height, FALSE);
    SetWindowFont(w->window, default_gui_font(), FALSE);

    if (!create_controls(*w)) return nullptr;

    w->building = false;
    w->events.handle_window_created();

    ShowWindow(w->window, SW_SHOWNORMAL);
    SetForegroundWindow(w->window);
    SetFocus(w->种子编辑框);
    UpdateWindow(w->window);
    return w;
}

bool pretranslate_main_window_message(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_KEYUP &&
        msg.message != WM_CHAR && msg.message != WM_SYSKEYUP && msg.message != WM_SYSCHAR)
        return false;
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    char name[64] = {};
    if (!root || !GetClassNameA(root, name, sizeof name) || lstrcmpA(name, window_class) != 0) return false;
    MainWindow* w = main_window_of(root);
    if (!w) return false;

    // Inside the web strip the browser sees every key first.
    if ((msg.hwnd == w->超文本浏览框1 || IsChild(w->超文本浏览框1, msg.hwnd)) && web_strip_translate_accelerator(msg))
        return true;
    if (msg.message != WM_KEYDOWN) return msg.message == WM_CHAR && (msg.wParam == '\t' || msg.wParam == 27);

    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0, alt = GetKeyState(VK_MENU) < 0;
    const auto order = w->focus_order();
    HWND focus = GetFocus();
    int at = -1;
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        if (order[i] == focus || IsChild(order[i], focus)) at = i;

    switch (msg.wParam) {
    case VK_TAB: {
        if (ctrl || alt) return false;
        const int count = static_cast<int>(order.size());
        const int next = at < 0 ? 0 : (at + (shift ? count - 1 : 1)) % count;
        SetFocus(order[next]);
        return true;
    }
    case VK_ESCAPE:
        if (ctrl || shift || alt) return false;
        PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        const int n = w->radio_number(focus);
        if (!n) return false;
        // The focus order runs from 单选框10 down to 单选框1.
        const bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN;
        const int target = forward ? (n == 1 ? 10 : n - 1) : (n == 10 ? 1 : n + 1);
        check_radio(*w, target);
        w->events.handle_category_click(target);
        SetFocus(w->单选框[target]);
        return true;
    }
    }
    return false;
}
