#include "ui/rich_edit_win32.h"

#include <richedit.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr DWORD box_events = ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL | ENM_PROTECTED;

// The code page's own lead bytes: its conversion never splits what these begin.
std::array<bool, 256> lead_bytes() {
    std::array<bool, 256> lead{};
    for (int b = 0; b < 256; ++b) lead[static_cast<std::size_t>(b)] = IsDBCSLeadByte(static_cast<BYTE>(b));
    return lead;
}

// What the control needs, fitted to Wine's rich edit in the x86_64 build and
// rounded up: a line, a change between one-byte and two-byte characters
// (each starts a run that the control measures and shapes apart) and a byte
// each cost so much. A 20 MB file of 16-byte GBK lines took 4.6 GB (3.6 KB a
// line), 2 MB of lines changing at every character 1.2 GB (9.2 KB a line of
// nine changes), 10 MB of random text 4.4 GB (1.3 KB a change), 40 MB of
// 4 KB GBK lines 640 MB (16 bytes a byte). The 32-bit figures are estimates
// for half-size pointers: 10 MB of short lines (629,000) loaded into 2 GB of
// address space, 15 MB (925,000) did not.
#ifdef _WIN64
constexpr unsigned long long box_bytes_per_line = 2048;
constexpr unsigned long long box_bytes_per_change = 1280;
constexpr unsigned long long box_bytes_per_byte = 20;
#else
constexpr unsigned long long box_bytes_per_line = 1280;
constexpr unsigned long long box_bytes_per_change = 768;
constexpr unsigned long long box_bytes_per_byte = 12;
#endif

// Whether the box can be given the text without running out of memory. The
// control does not fail cleanly when an allocation fails: Wine's faults
// inside riched20 and takes the program with it. So the text is weighed
// against the address space and the memory still to be had before it goes in.
bool memory_for(const Text& text, const std::array<bool, 256>& lead) {
    unsigned long long lines = 1, changes = 0;
    bool wide = false;
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const bool two = lead[c];
        changes += two != wide;
        wide = two;
        // The control starts a line at every CR, LF or CR LF.
        if (c == '\r' || c == '\n') lines += !(c == '\n' && at > 0 && text[at - 1] == '\r');
        at += two ? 2 : 1;
    }
    const unsigned long long need =
        lines * box_bytes_per_line + changes * box_bytes_per_change + text.size() * box_bytes_per_byte;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return true;
    return need <= status.ullAvailVirtual && need <= status.ullAvailPageFile;
}

// The text crosses the control as UTF-16, for the control converts an ANSI
// stream chunk by chunk: a chunk ending inside a two-byte character or
// between CR and LF comes out garbled, and one starting with the bytes
// EF BB BF is taken for UTF-8. It is converted here chunk by chunk too, at
// character boundaries, so no second copy of the whole text is made.
struct StreamSource {
    const char* next;
    const char* end;
    std::array<bool, 256> lead{};   // the code page's own lead bytes
    unsigned long long units = 0;   // UTF-16 units given
    unsigned long long breaks = 0;  // of them CR or LF
};

DWORD CALLBACK stream_in(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    *given = 0;
    // A byte or a two-byte character gives one UTF-16 unit: a chunk of at
    // most `room` bytes fits.
    const std::size_t room = static_cast<std::size_t>(bytes) / sizeof(wchar_t);
    // Giving nothing ends the stream, so a lone lead byte at the end that
    // converts to nothing is skipped.
    while (*given == 0 && source->next < source->end) {
        const char* limit = source->next + std::min<std::size_t>(room, source->end - source->next);
        const char* cut = source->next;
        while (cut < limit) {
            const char* after = cut + (source->lead[static_cast<unsigned char>(*cut)] ? 2 : 1);
            if (after > limit) {
                if (after > source->end) cut = source->end;  // a lead byte ends the text: it goes alone
                break;
            }
            cut = after;
        }
        if (cut - source->next > 1 && cut < source->end && cut[-1] == '\r' && cut[0] == '\n') --cut;
        if (cut == source->next) return 1;  // no room for one character
        const int units = MultiByteToWideChar(CP_ACP, 0, source->next, static_cast<int>(cut - source->next),
                                              reinterpret_cast<wchar_t*>(buffer), static_cast<int>(room));
        if (units == 0 && !(cut == source->end && cut - source->next == 1)) return 1;
        for (const char* at = source->next; at < cut; ++at) source->breaks += *at == '\r' || *at == '\n';
        source->next = cut;
        source->units += static_cast<unsigned>(units);
        *given = static_cast<LONG>(units * sizeof(wchar_t));
    }
    return 0;
}

// The box's text arrives in chunks of UTF-16 that may end inside a unit or a
// surrogate pair; what is whole is converted at once.
struct StreamSink {
    Text text;
    std::vector<char> staged;
};

void convert_staged(StreamSink& sink, bool last) {
    std::size_t units = sink.staged.size() / sizeof(wchar_t);
    const auto* wide = reinterpret_cast<const wchar_t*>(sink.staged.data());
    if (!last && units && IS_HIGH_SURROGATE(wide[units - 1])) --units;
    if (units) {
        const std::size_t had = sink.text.size();
        sink.text.resize(had + 2 * units);  // at most two bytes a unit in a double-byte code page
        const int put = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(units), sink.text.data() + had,
                                            static_cast<int>(2 * units), nullptr, nullptr);
        sink.text.resize(had + static_cast<std::size_t>(std::max(put, 0)));
    }
    sink.staged.erase(sink.staged.begin(), sink.staged.begin() + static_cast<std::ptrdiff_t>(units * sizeof(wchar_t)));
}

DWORD CALLBACK stream_out(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* taken) {
    auto* sink = reinterpret_cast<StreamSink*>(cookie);
    sink->staged.insert(sink->staged.end(), buffer, buffer + bytes);
    convert_staged(*sink, false);
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
    StreamSink sink;
    // Room for the whole text at once: at most two bytes a character.
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_USECRLF, 1200};
    const LRESULT characters = SendMessageA(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    if (characters > 0) sink.text.reserve(2 * static_cast<std::size_t>(characters));
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&sink), 0, stream_out};
    SendMessageA(box, EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    convert_staged(sink, true);
    return std::move(sink.text);
}

bool rich_edit_set_text(HWND box, const Text& text) {
    StreamSource source{text.data(), text.data() + text.size(), lead_bytes()};
    if (!memory_for(text, source.lead)) return false;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, stream_in};
    const LRESULT events = SendMessageA(box, EM_SETEVENTMASK, 0, 0);
    SendMessageA(box, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(box, EM_SETEVENTMASK, 0, events);
    // Whole when every byte went in and no character is missing; line breaks
    // may be stored differently (a CR LF is one character in the box).
    GETTEXTLENGTHEX query{GTL_NUMCHARS, 1200};
    const LRESULT characters = SendMessageA(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    return stream.dwError == 0 && source.next == source.end &&
           static_cast<unsigned long long>(std::max<LRESULT>(characters, 0)) >= source.units - source.breaks;
}
