#include "ui/link_label_win32.h"

#include <algorithm>
#include <cstring>

#include "store/unique_handle.h"
#include "ui/window_kit_win32.h"

namespace {

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};

class SystemLinkPlatform final : public LinkPlatform {
public:
    std::intptr_t shell_open(const Text& target) override {
        return reinterpret_cast<std::intptr_t>(
            ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW));
    }

    std::optional<Text> read_class_default(const Text& key, std::size_t buffer_size) override {
        HKEY raw = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
            return std::nullopt;
        UniqueHandle<RegistryKeyTraits> opened(raw);
        char buffer[class_value_buffer_size];
        if (buffer_size > sizeof buffer) buffer_size = sizeof buffer;
        LONG size = static_cast<LONG>(buffer_size);
        // ERROR_MORE_DATA, too, ends here: a value that does not fit is not read at all.
        if (RegQueryValueA(opened.get(), nullptr, buffer, &size) != ERROR_SUCCESS) return std::nullopt;
        // A value stored without its NUL comes back unterminated; it fits only if
        // there is room left to close it.
        const std::size_t filled = size > 0 ? std::min(static_cast<std::size_t>(size), buffer_size) : 0;
        const void* nul = std::memchr(buffer, '\0', filled);
        const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : filled;
        if (length >= buffer_size) return std::nullopt;
        return Text(buffer, length);
    }

    // The command line is run from its fixed buffer, so nothing longer can reach WinExec.
    unsigned win_exec(const Text& command_line) override {
        char buffer[command_line_buffer_size];
        if (command_line.size() >= sizeof buffer) return 0;
        std::memcpy(buffer, command_line.c_str(), command_line.size() + 1);
        return WinExec(buffer, SW_SHOW);
    }
};

constexpr char link_label_class[] = "KwLinkLabel";

// Set at WM_NCCREATE and freed at WM_NCDESTROY, so every message in between finds it.
LinkLabelState& state_of(HWND hwnd) {
    return *reinterpret_cast<LinkLabelState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool inside_client(HWND hwnd, int x, int y) {
    RECT client;
    GetClientRect(hwnd, &client);
    const POINT point{x, y};
    return PtInRect(&client, point) != FALSE;
}

void paint_label(HWND hwnd, HDC dc) {
    const LinkLabelState& state = state_of(hwnd);
    draw_own_text(hwnd, dc, state.drawn_text(), TextAlign::centre, state.current_colour(), state.background());
}

void apply(HWND hwnd, MouseMoveResponse response) {
    if (response.capture == CaptureChange::take && GetCapture() != hwnd) SetCapture(hwnd);
    if (response.capture == CaptureChange::release && GetCapture() == hwnd) ReleaseCapture();
    if (response.repaint) InvalidateRect(hwnd, nullptr, FALSE);
}

BOOL on_nc_create(HWND hwnd, LPCREATESTRUCTA create) {
    const auto* spec = static_cast<const LinkLabelSpec*>(create->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LinkLabelState(*spec)));
    // The default handling stores the caption as the window's text, which is
    // what other programs (screen readers among them) read as its name.
    return FORWARD_WM_NCCREATE(hwnd, create, DefWindowProcA);
}

void on_nc_destroy(HWND hwnd) {
    delete &state_of(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
}

void on_paint(HWND hwnd) {
    const PaintScope paint(hwnd);
    if (paint.dc()) paint_label(hwnd, paint.dc());
}

void on_mouse_move(HWND hwnd, int x, int y, UINT) {
    apply(hwnd, state_of(hwnd).handle_mouse_move(inside_client(hwnd, x, y)));
}

// On the press, not the release: the address opens before the button comes up.
void on_lbutton_down(HWND hwnd, BOOL, int x, int y, UINT keys) {
    // Holding the capture, the label hears presses anywhere on the screen;
    // one beside it means the pointer has left.
    if (!inside_client(hwnd, x, y)) {
        on_mouse_move(hwnd, x, y, keys);
        return;
    }
    const Text address = state_of(hwnd).address();
    const bool opened = open_link(address, system_link_platform());
    // The shell may run messages while it works, the window's closing among them.
    if (!IsWindow(hwnd)) return;
    if (state_of(hwnd).handle_press_outcome(opened)) InvalidateRect(hwnd, nullptr, FALSE);
}

void on_capture_changed(HWND hwnd, HWND gaining) {
    if (gaining == hwnd) return;
    if (state_of(hwnd).handle_capture_lost()) InvalidateRect(hwnd, nullptr, FALSE);
}

// The whole label is filled while painting; erasing first would only flicker.
BOOL on_erase_background(HWND, HDC) { return TRUE; }

BOOL on_set_cursor(HWND hwnd, HWND, UINT, UINT) {
    SetCursor(reinterpret_cast<HCURSOR>(GetClassLongPtrA(hwnd, GCLP_HCURSOR)));  // the hand
    return TRUE;
}

LRESULT CALLBACK link_label_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_NCCREATE, on_nc_create);
        HANDLE_MSG(hwnd, WM_NCDESTROY, on_nc_destroy);
        HANDLE_MSG(hwnd, WM_PAINT, on_paint);
        HANDLE_MSG(hwnd, WM_MOUSEMOVE, on_mouse_move);
        HANDLE_MSG(hwnd, WM_LBUTTONDOWN, on_lbutton_down);
        HANDLE_MSG(hwnd, WM_SETCURSOR, on_set_cursor);
        HANDLE_MSG(hwnd, WM_CAPTURECHANGED, on_capture_changed);
        HANDLE_MSG(hwnd, WM_ERASEBKGND, on_erase_background);
        HANDLE_MSG(hwnd, WM_PRINTCLIENT, paint_label);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool register_link_label_class(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;  // the text is centred: a new size moves all of it
    wc.lpfnWndProc = link_label_proc;
    wc.hInstance = instance;
    // The program's own hand pointer, as over the radio buttons and the button.
    wc.hCursor = load_hand_cursor(instance);
    wc.lpszClassName = link_label_class;
    return ensure_window_class(wc);
}

}  // namespace

LinkPlatform& system_link_platform() {
    static SystemLinkPlatform platform;
    return platform;
}

HWND create_link_label(HWND parent, const ControlRow& row) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const auto* label = std::get_if<LinkLabelId>(&row.role);
    if (!label || !register_link_label_class(instance)) return nullptr;
    const LinkLabelSpec spec = link_label_spec(*label);
    const Text& text = spec.caption.empty() ? spec.address : spec.caption;
    return CreateWindowExA(0, link_label_class, text.c_str(), WS_CHILD, row.place.x, row.place.y, row.place.width,
                           row.place.height, parent, child_id(row.id), instance,
                           const_cast<LinkLabelSpec*>(&spec));
}
