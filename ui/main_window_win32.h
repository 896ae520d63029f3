#pragma once
// The one main window: its controls, keyboard handling, and the routes from
// its events to the portable handlers.
#include <windows.h>

#include <memory>

#include "store/category_store.h"
#include "store/disk.h"

class MainWindow;

struct MainWindowDeleter {
    void operator()(MainWindow* window) const;
};
using MainWindowPtr = std::unique_ptr<MainWindow, MainWindowDeleter>;

// Builds the window and every control, delivers the created event (category 1
// is loaded), then shows and activates it. Nothing when a control cannot be
// made. `window_destroyed` runs when the window is gone.
MainWindowPtr create_main_window(Disk& disk, void (*window_destroyed)(HWND));

HWND main_window_handle(const MainWindow& window);
CategoryStore& main_window_store(MainWindow& window);

// The window's own keys (Tab, Esc, arrows on the radio buttons, and the web
// strip's accelerators), seen before the focused control; true when taken.
bool pretranslate_main_window_message(MSG& msg);
