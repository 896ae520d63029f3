#pragma once
#include "expand/text.h"

// The folder of a program file's full path: everything before its last
// backslash, found by a scan that steps over two-byte characters, so the
// second byte of a character (0x5C in many GBK characters) never counts.
// A path without a backslash gives the empty text.
Text program_folder_of(const Text& program_path, bool (*is_lead_byte_of_code_page)(unsigned char));
