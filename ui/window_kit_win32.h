#pragma once
// What every control of the window needs: owners for GDI objects and
// libraries, and a window class registered once per process.
#include <windows.h>

#include "store/unique_handle.h"

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
