#pragma once
// The editor boxes: the platform's rich-edit control in plain-text mode.
// Text goes in and out as GBK bytes of the ANSI code page; the wrappers here
// hold every EM_STREAMIN / EM_STREAMOUT cast.
#include <windows.h>

#include "expand/text.h"

struct RichEditClass {
    HMODULE library = nullptr;
    const char* class_name = nullptr;
};

// RICHED20.DLL with RichEdit20A, else RICHED32.DLL with RICHEDIT; nothing
// loaded when neither library can be.
RichEditClass load_rich_edit_library();

// One editor box with every setting of the layout, its change reporting on.
HWND create_rich_edit(HWND parent, const RichEditClass& rich_edit, int id, int x, int y, int width,
                      int height);

// A fresh, empty box in the place of `box`: same id, place, size, settings
// and stacking position, the focus moved over; the old box is destroyed.
// Emptying a box that holds many lines takes time that grows with the square
// of the lines in some rich-edit versions; destroying one is linear.
HWND rich_edit_replace(HWND box, const RichEditClass& rich_edit);
bool rich_edit_is_empty(HWND box);

Text rich_edit_get_text(HWND box);
// Replaces the whole text; raises no change notice of its own (the caller
// delivers exactly one). False when the box could not take the whole text:
// it may then hold a part of it, or nothing where the memory it would need
// is not there.
bool rich_edit_set_text(HWND box, const Text& text);
