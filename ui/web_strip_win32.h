#pragma once
#include <windows.h>

#include "ui/window_layout.h"

// 超文本浏览框1: a white child window of parent, with the row's id, place and
// size, holding the WebBrowser control, which fills it, follows its size and
// starts loading url at once.
// Created hidden like the window's other controls (the caller shows it) and
// as a tab stop. nullptr when the browser control cannot be made or offers no
// IWebBrowser2; nothing is left behind then. Needs OLE on the calling thread.
HWND create_web_strip(HWND parent, const ControlRow& row, const char* url);

// For the message loop, before any other key handling: a key message for a
// window inside a web strip goes to the browser first. True when the browser
// consumed it; the message must then go no further.
bool web_strip_translate_accelerator(const MSG& msg);
