#pragma once
#include <windows.h>

#include "ui/link_label.h"

// A hyperlink label as a child of parent, created hidden like the window's
// other controls: the caller shows it. It takes no focus and sends its parent
// no notice; nullptr if the window cannot be made.
HWND create_link_label(HWND parent, int x, int y, int width, int height, const LinkLabelSpec& spec);

// The shell, the registry and WinExec, as the labels use them.
LinkPlatform& system_link_platform();
