#pragma once
// The editor boxes: the platform's rich-edit control in plain-text mode.
// Text goes in and out as GBK bytes of the ANSI code page; the wrappers here
// hold every EM_STREAMIN / EM_STREAMOUT cast.
#include <windows.h>

#include "expand/text.h"
#include "ui/window_kit_win32.h"
#include "ui/window_layout.h"

// Makes the editor boxes and owns the rich-edit library they need: rich edit
// 2.0 (RICHED20.DLL, RichEdit20A), or rich edit 1.0 (RICHED32.DLL, RICHEDIT)
// where 2.0 cannot be loaded or its window cannot be made. It must outlive
// every box it made.
class RichEditFactory {
public:
    RichEditFactory();
    RichEditFactory(const RichEditFactory&) = delete;
    RichEditFactory& operator=(const RichEditFactory&) = delete;

    // False when neither library could be loaded.
    explicit operator bool() const { return library_ || older_library_; }

    // The row's editor box with every setting of the layout, its change
    // reporting on; nullptr when neither control can be made.
    HWND create(HWND parent, const ControlRow& row);

    // A fresh, empty box of the row in the place of `box`, just below it,
    // shown, with the focus moved over; the caller takes the old box away.
    // Emptying a box that holds many lines takes time that grows with the
    // square of the lines in some rich-edit versions; destroying one is linear.
    HWND replace(HWND box, const ControlRow& row);

private:
    HWND create_box(HWND parent, const ControlRow& row) const;
    bool use_older_control();  // false when it was tried before or cannot be loaded

    UniqueLibrary library_;
    UniqueLibrary older_library_;
    const char* class_name_ = "RichEdit20A";
};

bool rich_edit_is_empty(HWND box);

Text rich_edit_get_text(HWND box);
// Replaces the whole text; raises no change notice of its own (the caller
// delivers exactly one). False when the box could not take the whole text:
// it may then hold a part of it, or nothing where the memory it would need
// is not there.
bool rich_edit_set_text(HWND box, const Text& text);
