#pragma once
// What every control of the window needs: owners for GDI objects, painting
// and libraries, the one routine that draws a control's own text, and a
// window class registered once per process.
#include <windows.h>
#include <windowsx.h>

#include "expand/text.h"
#include "store/unique_handle.h"
#include "ui/colour.h"

// Crackers that <windowsx.h> lacks, so every window procedure is a list of HANDLE_MSG.
#ifndef HANDLE_WM_CAPTURECHANGED
#define HANDLE_WM_CAPTURECHANGED(hwnd, wParam, lParam, fn) ((fn)((hwnd), (HWND)(lParam)), 0L)
#endif
#ifndef HANDLE_WM_PRINTCLIENT
#define HANDLE_WM_PRINTCLIENT(hwnd, wParam, lParam, fn) ((fn)((hwnd), (HDC)(wParam)), 0L)
#endif

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;

struct LibraryTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};
using UniqueLibrary = UniqueHandle<LibraryTraits>;

// BeginPaint to EndPaint; EndPaint runs even where nothing could be painted.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a DC for this scope; the one it replaced goes back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A child window's id, passed where CreateWindowEx takes a menu.
inline HMENU child_id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

inline COLORREF to_colorref(Colour c) { return RGB(c.r, c.g, c.b); }

inline HFONT default_gui_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// The window's whole text, however long.
inline Text window_text(HWND hwnd) {
    Text text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

enum class TextAlign : UINT { left = DT_LEFT, centre = DT_CENTER };

// The labels and the link labels draw themselves alike: the whole control in
// its background colour, then one line of text, vertically centred, in the
// default GUI font, with an ampersand drawn as itself. The stock DC brush
// fills without making a brush on every paint.
inline void draw_own_text(HWND hwnd, HDC dc, const Text& text, TextAlign align, Colour ink, Colour background) {
    RECT area;
    GetClientRect(hwnd, &area);
    SetDCBrushColor(dc, to_colorref(background));
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    const SelectedObject font(dc, default_gui_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, to_colorref(ink));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
              static_cast<UINT>(align) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// The program's own hand pointer, or the system's where the resource is missing.
inline HCURSOR load_hand_cursor(HINSTANCE instance) {
    if (HCURSOR hand = LoadCursorA(instance, "HAND_CURSOR")) return hand;
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
}

// Registers the class unless this module has it already; true when it exists.
inline bool ensure_window_class(const WNDCLASSEXA& window_class) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    return GetClassInfoExA(window_class.hInstance, window_class.lpszClassName, &existing) ||
           RegisterClassExA(&window_class) != 0;
}
