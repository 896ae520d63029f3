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

}  // namespace

RichEditClass load_rich_edit_library() {
    if (HMODULE library = LoadLibraryA("RICHED20.DLL")) return {library, "RichEdit20A"};
    if (HMODULE library = LoadLibraryA("RICHED32.DLL")) return {library, "RICHEDIT"};
    return {};
}

HWND create_rich_edit(HWND parent, const RichEditClass& rich_edit, int id, int x, int y, int width,
                      int height) {
    // The scroll bars stay in place (disabled while not needed): a scroll bar
    // that comes and goes changes the box's style, and the control then wraps
    // every line again, which takes minutes for a result of 160,000 lines.
    const DWORD style = WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL | ES_DISABLENOSCROLL;
    HWND box = CreateWindowExA(WS_EX_STATICEDGE, rich_edit.class_name, "", style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    if (!box) return nullptr;
    SendMessageA(box, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
    SendMessageA(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(box, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(box, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
    SendMessageA(box, EM_SETOPTIONS, ECOOP_OR, ECO_AUTOWORDSELECTION);

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

    SendMessageA(box, EM_SETMODIFY, FALSE, 0);
    // Changes are reported only from here on: the empty initial text is in place.
    SendMessageA(box, EM_SETEVENTMASK, 0, box_events);
    return box;
}

HWND rich_edit_replace(HWND box, const RichEditClass& rich_edit) {
    HWND parent = GetParent(box);
    RECT place;
    GetWindowRect(box, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    HWND fresh = create_rich_edit(parent, rich_edit, GetDlgCtrlID(box), place.left, place.top,
                                  place.right - place.left, place.bottom - place.top);
    if (!fresh) return nullptr;
    SetWindowPos(fresh, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const bool had_focus = GetFocus() == box;
    DestroyWindow(box);
    if (had_focus) SetFocus(fresh);
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
