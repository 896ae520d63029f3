#include "ui/main_window_win32.h"

#include <commctrl.h>
#include <richedit.h>

#include <array>
#include <utility>
#include <vector>

#include "ui/event_handlers.h"
#include "ui/link_label_win32.h"
#include "ui/rich_edit_win32.h"
#include "ui/web_addresses.h"
#include "ui/web_strip_win32.h"
#include "ui/window_kit_win32.h"
#include "ui/window_layout.h"

namespace {

constexpr char window_class[] = "TessarynKeywordExpander";
constexpr char label_class[] = "TessarynLabel";
constexpr char caption[] = " Tessaryn 批量生成关键词软件 V1.3";
constexpr int window_width = 723;
constexpr int window_height = 733;
constexpr WPARAM escape_character = 0x1B;  // what the Esc key types

// Posted when a box has been taken out of the window; see retire_box.
constexpr UINT wm_destroy_retired_boxes = WM_APP + 1;
#define HANDLE_wm_destroy_retired_boxes(hwnd, wParam, lParam, fn) ((fn)(hwnd), 0L)

HFONT make_font(const char* face, int pixel_height, int weight) {
    return CreateFontA(-pixel_height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, face);
}

}  // namespace

class MainWindow final : public WindowOps {
public:
    explicit MainWindow(Disk& disk) : store(disk, *this), events(store, *this) {}

    HWND window = nullptr;
    std::array<HWND, window_layout.size()> controls{};  // by id, as the layout's rows
    HWND& control(int id) { return controls[static_cast<std::size_t>(id - first_control_id)]; }

    RichEditFactory rich_edit;
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
    std::vector<HWND> retired_boxes;

    Text read_box_text(BoxKind kind) override { return rich_edit_get_text(control(box_row(kind).id)); }

    bool set_box_text(BoxKind kind, const Text& text) override {
        const ControlRow& row = box_row(kind);
        HWND& box = control(row.id);
        // A box with text is replaced by a fresh one instead of being emptied:
        // the result box holds 160,000 lines after a generate at the limit.
        auto empty_box = [&] {
            if (rich_edit_is_empty(box)) return;
            if (HWND fresh = rich_edit.replace(box, row)) {
                if (last_focus == box) last_focus = fresh;
                retire_box(box);
                box = fresh;
            }
        };
        empty_box();
        const bool holds = rich_edit_set_text(box, text);
        if (!holds) empty_box();  // never a part of the text
        // The change notice of the replacement, delivered nested and exactly once.
        events.handle_box_change(kind);
        return holds;
    }

    void show_warning(const Text& message, const Text& title) override {
        MessageBoxA(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    }

private:
    // Destroying a box of 160,000 lines takes a good part of a second, so a
    // replaced box is only hidden here and destroyed once the message that
    // replaced it is done: a generate writes its result file first. Without
    // its id it is no longer found as the box, and its notices go nowhere.
    void retire_box(HWND box) {
        ShowWindow(box, SW_HIDE);
        SetWindowLongPtrA(box, GWLP_ID, 0);
        retired_boxes.push_back(box);
        if (retired_boxes.size() == 1) PostMessageA(window, wm_destroy_retired_boxes, 0, 0);
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

// The layout row of one of the window's controls; nullptr for any other window.
const ControlRow* row_of(MainWindow& w, HWND control) {
    const int id = control ? GetDlgCtrlID(control) : 0;
    return is_control_id(id) && w.control(id) == control ? &layout_row(id) : nullptr;
}

void check_radio(MainWindow& w, int n) {
    w.checked_radio = n;
    for (const ControlRow& row : window_layout)
        if (const int category = category_of(row))
            Button_SetCheck(w.control(row.id), category == n ? BST_CHECKED : BST_UNCHECKED);
}

// The window's own children that take the focus, in the reverse of their stacking order.
std::vector<const ControlRow*> focus_order() {
    std::vector<const ControlRow*> order;
    for (auto row = window_layout.rbegin(); row != window_layout.rend(); ++row)
        if (takes_focus(*row)) order.push_back(&*row);
    return order;
}

// ---- the window procedure, one line per message -------------------------

BOOL on_nc_create(HWND hwnd, LPCREATESTRUCT create) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return FORWARD_WM_NCCREATE(hwnd, create, DefWindowProcA);
}

void on_command(HWND hwnd, int id, HWND, UINT code) {
    MainWindow* w = main_window_of(hwnd);
    if (!w || w->building || !is_control_id(id)) return;
    const ControlRow& row = layout_row(id);
    if (const BoxKind* box = std::get_if<BoxKind>(&row.role)) {
        if (code == EN_CHANGE) w->events.handle_box_change(*box);
    } else if (row.kind == ControlKind::button) {
        if (code == BN_CLICKED) w->events.handle_generate_click();
    } else if (const int category = category_of(row)) {
        if (code == BN_CLICKED && !w->radio_focus_changing) {
            check_radio(*w, category);
            w->events.handle_category_click(category);
        }
    }
}

HBRUSH on_ctl_color_static(HWND hwnd, HDC dc, HWND control, int) {
    MainWindow* w = main_window_of(hwnd);
    if (!w) return nullptr;
    const ControlRow* row = row_of(*w, control);
    SetTextColor(dc, to_colorref(row ? row->ink : black));
    SetBkColor(dc, to_colorref(panel_colour));
    return static_cast<HBRUSH>(w->panel_brush.get());
}

BOOL on_set_cursor(HWND hwnd, HWND under, UINT hit_test, UINT) {
    MainWindow* w = main_window_of(hwnd);
    const ControlRow* row = w && hit_test == HTCLIENT ? row_of(*w, under) : nullptr;
    if (row && (row->kind == ControlKind::radio || row->kind == ControlKind::button)) {
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
        SetFocus(w->last_focus && IsWindow(w->last_focus) ? w->last_focus : w->control(focus_order()[0]->id));
    }
}

BOOL on_erase_background(HWND hwnd, HDC dc) {
    MainWindow* w = main_window_of(hwnd);
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, w ? static_cast<HBRUSH>(w->panel_brush.get()) : GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void on_destroy_retired_boxes(HWND hwnd) {
    MainWindow* w = main_window_of(hwnd);
    if (!w) return;
    for (HWND box : std::exchange(w->retired_boxes, {})) DestroyWindow(box);
}

void on_destroy(HWND hwnd) {
    if (MainWindow* w = main_window_of(hwnd)) {
        w->window = nullptr;
        if (w->window_destroyed) w->window_destroyed(hwnd);
    }
}

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_NCCREATE, on_nc_create);
        HANDLE_MSG(hwnd, WM_COMMAND, on_command);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, on_ctl_color_static);
        HANDLE_MSG(hwnd, WM_SETCURSOR, on_set_cursor);
        HANDLE_MSG(hwnd, WM_ACTIVATE, on_activate);
        HANDLE_MSG(hwnd, WM_ERASEBKGND, on_erase_background);
        HANDLE_MSG(hwnd, WM_DESTROY, on_destroy);
        HANDLE_MSG(hwnd, wm_destroy_retired_boxes, on_destroy_retired_boxes);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- the self-drawn grey labels -----------------------------------------

void on_label_paint(HWND hwnd) {
    const PaintScope paint(hwnd);
    const int id = GetDlgCtrlID(hwnd);
    const Colour ink = is_control_id(id) ? layout_row(id).ink : grey;
    if (paint.dc()) draw_own_text(hwnd, paint.dc(), window_text(hwnd), TextAlign::left, ink, panel_colour);
}

// The whole label is filled while painting; erasing first would only flicker.
BOOL on_label_erase_background(HWND, HDC) { return TRUE; }

LRESULT CALLBACK label_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_PAINT, on_label_paint);
        HANDLE_MSG(hwnd, WM_ERASEBKGND, on_label_erase_background);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- subclassed platform controls ---------------------------------------

// The button's own focus handling may raise a click notice; it selects nothing.
template <typename Forward>
void while_radio_focus_changes(HWND radio, Forward forward) {
    MainWindow* w = main_window_of(GetParent(radio));
    if (!w) return forward();
    const bool was = w->radio_focus_changing;
    w->radio_focus_changing = true;
    forward();
    w->radio_focus_changing = was;
    check_radio(*w, w->checked_radio);
}

void on_radio_set_focus(HWND hwnd, HWND previous) {
    while_radio_focus_changes(hwnd, [&] { FORWARD_WM_SETFOCUS(hwnd, previous, DefSubclassProc); });
}

void on_radio_kill_focus(HWND hwnd, HWND next) {
    while_radio_focus_changes(hwnd, [&] { FORWARD_WM_KILLFOCUS(hwnd, next, DefSubclassProc); });
}

LRESULT CALLBACK radio_subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_SETFOCUS, on_radio_set_focus);
        HANDLE_MSG(hwnd, WM_KILLFOCUS, on_radio_kill_focus);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// A group box draws only its frame and caption; the panel colour fills the rest.
BOOL on_group_erase_background(HWND hwnd, HDC dc) {
    MainWindow* w = main_window_of(GetParent(hwnd));
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, w ? static_cast<HBRUSH>(w->panel_brush.get()) : GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

// The panel's children are coloured as the window's own.
HBRUSH on_group_ctl_color_static(HWND hwnd, HDC dc, HWND control, int) {
    return FORWARD_WM_CTLCOLORSTATIC(GetParent(hwnd), dc, control, SendMessageA);
}

LRESULT CALLBACK group_subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_ERASEBKGND, on_group_erase_background);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, on_group_ctl_color_static);
    }
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

// ---- the controls, one creator per kind, each taking its layout row -----

constexpr DWORD child_style = WS_CHILD | WS_CLIPSIBLINGS;

HWND create_child(const char* window_class_name, HWND parent, const ControlRow& row, const char* text, DWORD style,
                  HFONT font) {
    HWND control = CreateWindowExA(0, window_class_name, text, child_style | style, row.place.x, row.place.y,
                                   row.place.width, row.place.height, parent, child_id(row.id),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control) SetWindowFont(control, font, FALSE);
    return control;
}

HWND create_radio(MainWindow& w, HWND parent, const ControlRow& row) {
    const char* text = category_row(category_of(row)).caption;
    HWND radio = create_child("BUTTON", parent, row, text, BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | BS_MULTILINE,
                              static_cast<HFONT>(w.radio_font.get()));
    if (radio) SetWindowSubclass(radio, radio_subclass, 1, 0);
    return radio;
}

HWND create_group(HWND parent, const ControlRow& row) {
    HWND group = create_child("BUTTON", parent, row, row.text, WS_CLIPCHILDREN | BS_GROUPBOX, default_gui_font());
    if (group) SetWindowSubclass(group, group_subclass, 1, 0);
    return group;
}

HWND make_control(MainWindow& w, HWND parent, const ControlRow& row) {
    switch (row.kind) {
    case ControlKind::editor: return w.rich_edit.create(parent, row);
    case ControlKind::radio: return create_radio(w, parent, row);
    case ControlKind::button:
        return create_child("BUTTON", parent, row, row.text, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE,
                            static_cast<HFONT>(w.button_font.get()));
    case ControlKind::group: return create_group(parent, row);
    case ControlKind::label: return create_child(label_class, parent, row, row.text, 0, default_gui_font());
    case ControlKind::link: return create_link_label(parent, row);
    case ControlKind::web_strip: return create_web_strip(parent, row, web_addresses().web_strip_page.c_str());
    }
    return nullptr;
}

// Each parent's children are stacked in table order: each goes just below
// the one made before it under the same parent.
HWND control_above(MainWindow& w, const ControlRow& row) {
    HWND above = HWND_TOP;
    for (const ControlRow& earlier : window_layout) {
        if (&earlier == &row) break;
        if (earlier.parent_id == row.parent_id) above = w.control(earlier.id);
    }
    return above;
}

bool create_controls(MainWindow& w) {
    for (const ControlRow& row : window_layout) {
        HWND control = make_control(w, row.parent_id ? w.control(row.parent_id) : w.window, row);
        if (!control) return false;
        w.control(row.id) = control;
        SetWindowPos(control, control_above(w, row), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (HWND control : w.controls) ShowWindow(control, SW_SHOWNA);
    check_radio(w, 1);
    return true;
}

bool prepare_resources(MainWindow& w, HINSTANCE instance) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    if (!register_classes(instance)) return false;
    w.radio_font.reset(make_font("宋体", 14, FW_NORMAL));
    w.button_font.reset(make_font("宋体", 16, FW_NORMAL));
    w.panel_brush.reset(CreateSolidBrush(to_colorref(panel_colour)));
    w.hand = load_hand_cursor(instance);
    return true;
}

// Hidden, centred on the primary screen, exactly 723 x 733 outside.
bool create_frame(MainWindow& w, HINSTANCE instance) {
    const int left = (GetSystemMetrics(SM_CXSCREEN) - window_width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - window_height) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    w.window = CreateWindowExA(WS_EX_APPWINDOW, window_class, caption, style, left, top, window_width,
                               window_height, nullptr, nullptr, instance, &w);
    if (!w.window) return false;
    RECT outer;
    GetWindowRect(w.window, &outer);
    if (outer.right - outer.left != window_width || outer.bottom - outer.top != window_height)
        MoveWindow(w.window, left, top, window_width, window_height, FALSE);
    SetWindowFont(w.window, default_gui_font(), FALSE);
    return true;
}

// ---- the window's own keys, seen before the focused control -------------

bool key_down(int key) { return GetKeyState(key) < 0; }

// Where the focus is in the focus order, or -1 outside it.
int focus_position(MainWindow& w, const std::vector<const ControlRow*>& order) {
    HWND focus = GetFocus();
    int at = -1;
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        HWND control = w.control(order[i]->id);
        if (control == focus || IsChild(control, focus)) at = i;
    }
    return at;
}

// Tab and Shift+Tab step through the focus order, wrapping at both ends.
bool on_tab_key(MainWindow& w) {
    if (key_down(VK_CONTROL) || key_down(VK_MENU)) return false;
    const auto order = focus_order();
    const int count = static_cast<int>(order.size());
    const int at = focus_position(w, order);
    const int next = at < 0 ? 0 : (at + (key_down(VK_SHIFT) ? count - 1 : 1)) % count;
    SetFocus(w.control(order[static_cast<std::size_t>(next)]->id));
    return true;
}

// A plain Esc closes the window as its close button does.
bool on_escape_key(MainWindow& w) {
    if (key_down(VK_CONTROL) || key_down(VK_SHIFT) || key_down(VK_MENU)) return false;
    PostMessageA(w.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

// On a focused radio button the arrows check the next (step 1) or previous
// (step -1) radio button in the focus order, wrapping at both ends, and
// select its category.
bool on_radio_arrow(MainWindow& w, int step) {
    std::vector<const ControlRow*> radios;
    for (const ControlRow* row : focus_order())
        if (category_of(*row)) radios.push_back(row);
    const int count = static_cast<int>(radios.size());
    HWND focus = GetFocus();
    for (int i = 0; i < count; ++i) {
        if (w.control(radios[static_cast<std::size_t>(i)]->id) != focus) continue;
        const ControlRow& target = *radios[static_cast<std::size_t>((i + step + count) % count)];
        check_radio(w, category_of(target));
        w.events.handle_category_click(category_of(target));
        SetFocus(w.control(target.id));
        return true;
    }
    return false;
}

bool is_key_message(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
           message == WM_SYSKEYUP || message == WM_SYSCHAR;
}

// The main window that a key message is for, if it is for one.
MainWindow* main_window_holding(HWND hwnd) {
    HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    char name[64] = {};
    if (!root || !GetClassNameA(root, name, sizeof name) || lstrcmpA(name, window_class) != 0) return nullptr;
    return main_window_of(root);
}

// Inside the web strip the browser sees every key first.
bool key_for_web_strip(MainWindow& w, const MSG& msg) {
    HWND strip = w.control(id_超文本浏览框1);
    return (msg.hwnd == strip || IsChild(strip, msg.hwnd)) && web_strip_translate_accelerator(msg);
}

}  // namespace

MainWindowPtr create_main_window(Disk& disk, void (*window_destroyed)(HWND)) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    MainWindowPtr w(new MainWindow(disk));
    w->window_destroyed = window_destroyed;
    if (!w->rich_edit || !prepare_resources(*w, instance)) return nullptr;
    if (!create_frame(*w, instance) || !create_controls(*w)) return nullptr;

    w->building = false;
    w->events.handle_window_created();

    ShowWindow(w->window, SW_SHOWNORMAL);
    SetForegroundWindow(w->window);
    SetFocus(w->control(focus_order()[0]->id));
    UpdateWindow(w->window);
    return w;
}

bool pretranslate_main_window_message(MSG& msg) {
    if (!is_key_message(msg.message)) return false;
    MainWindow* w = main_window_holding(msg.hwnd);
    if (!w) return false;
    if (key_for_web_strip(*w, msg)) return true;
    // Tab and Esc are handled at their key-down; the characters they type go nowhere.
    if (msg.message == WM_CHAR) return msg.wParam == '\t' || msg.wParam == escape_character;
    if (msg.message != WM_KEYDOWN) return false;
    switch (msg.wParam) {
    case VK_TAB: return on_tab_key(*w);
    case VK_ESCAPE: return on_escape_key(*w);
    case VK_RIGHT:
    case VK_DOWN: return on_radio_arrow(*w, 1);
    case VK_LEFT:
    case VK_UP: return on_radio_arrow(*w, -1);
    }
    return false;
}
