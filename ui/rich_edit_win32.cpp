#include "ui/rich_edit_win32.h"

#include <richedit.h>

#include <algorithm>
#include <string>

namespace {

constexpr DWORD box_events = ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL | ENM_PROTECTED;

// The text crosses the control as UTF-16, converted here with the ANSI code
// page, for the control converts ANSI streams chunk by chunk: a chunk ending
// inside a two-byte character or between CR and LF comes out garbled, and a
// text starting with the bytes EF BB BF would be taken for UTF-8.
std::wstring to_wide(const Text& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

Text to_ansi(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    Text text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

struct StreamSource {
    const std::wstring* text;
    std::size_t next = 0;  // in characters
};

DWORD CALLBACK stream_in(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    std::size_t count = std::min<std::size_t>(source->text->size() - source->next,
                                              static_cast<std::size_t>(bytes) / sizeof(wchar_t));
    // Never end a chunk between CR and LF.
    const std::size_t end = source->next + count;
    if (count > 1 && end < source->text->size() && (*source->text)[end - 1] == L'\r' &&
        (*source->text)[end] == L'\n')
        --count;
    std::copy_n(source->text->data() + source->next, count, reinterpret_cast<wchar_t*>(buffer));
    source->next += count;
    *given = static_cast<LONG>(count * sizeof(wchar_t));
    return 0;
}

DWORD CALLBACK stream_out(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* taken) {
    auto* sink = reinterpret_cast<std::wstring*>(cookie);
    sink->append(reinterpret_cast<const wchar_t*>(buffer), static_cast<std::size_t>(bytes) / sizeof(wchar_t));
    *taken = bytes;
    return 0;
}

// 宋体, 9 points, the window-text colour, the default character set; plain.
void set_default_format(HWND box) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                    CFM_STRIKEOUT;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = 180;  // 9 points
    format.bCharSet = DEFAULT_CHARSET;
    lstrcpynA(format.szFaceName, "宋体", LF_FACESIZE);
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

RichEditFactory::RichEditFactory() {
    library_.reset(LoadLibraryA("RICHED20.DLL"));
    if (!library_) use_older_control();
}

bool RichEditFactory::use_older_control() {
    if (older_library_) return false;
    older_library_.reset(LoadLibraryA("RICHED32.DLL"));
    class_name_ = "RICHEDIT";
    return static_cast<bool>(older_library_);
}

HWND RichEditFactory::create(HWND parent, const ControlRow& row) {
    if (HWND box = create_box(parent, row)) return box;
    // Rich edit 2.0 loaded but its window cannot be made: the older control.
    return use_older_control() ? create_box(parent, row) : nullptr;
}

HWND RichEditFactory::create_box(HWND parent, const ControlRow& row) const {
    // The scroll bars stay in place (disabled while not needed): a scroll bar
    // that comes and goes changes the box's style, and the control then wraps
    // every line again, which takes minutes for a result of 160,000 lines.
    const DWORD style = WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL | ES_DISABLENOSCROLL;
    HWND box = CreateWindowExA(WS_EX_STATICEDGE, class_name_, "", style, row.place.x, row.place.y,
                               row.place.width, row.place.height, parent, child_id(row.id),
                               GetModuleHandleA(nullptr), nullptr);
    if (!box) return nullptr;
    SendMessageA(box, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
    SendMessageA(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(box, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(box, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
    SendMessageA(box, EM_SETOPTIONS, ECOOP_OR, ECO_AUTOWORDSELECTION);
    set_default_format(box);
    SendMessageA(box, EM_SETMODIFY, FALSE, 0);
    // Changes are reported only from here on: the empty initial text is in place.
    SendMessageA(box, EM_SETEVENTMASK, 0, box_events);
    return box;
}

HWND RichEditFactory::replace(HWND box, const ControlRow& row) {
    HWND fresh = create(GetParent(box), row);
    if (!fresh) return nullptr;
    SetWindowPos(fresh, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (GetFocus() == box) SetFocus(fresh);
    return fresh;
}

bool rich_edit_is_empty(HWND box) {
    GETTEXTLENGTHEX query{GTL_NUMCHARS, 1200};
    return SendMessageA(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0) == 0;
}

Text rich_edit_get_text(HWND box) {
    std::wstring wide;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&wide), 0, stream_out};
    SendMessageA(box, EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    return to_ansi(wide);
}

void rich_edit_set_text(HWND box, const Text& text) {
    const std::wstring wide = to_wide(text);
    StreamSource source{&wide};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, stream_in};
    const LRESULT events = SendMessageA(box, EM_SETEVENTMASK, 0, 0);
    SendMessageA(box, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(box, EM_SETEVENTMASK, 0, events);
}
