#pragma once
#include <windows.h>

#include "ui/link_label.h"
#include "ui/window_layout.h"

// The hyperlink label of the row (its role names which of the five) as a
// child of parent, with the row's id, place and size, created hidden like the
// window's other controls: the caller shows it. It takes no focus and sends
// its parent no notice; nullptr if the window cannot be made.
HWND create_link_label(HWND parent, const ControlRow& row);

// The shell, the registry and WinExec, as the labels use them.
LinkPlatform& system_link_platform();
