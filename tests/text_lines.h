#pragma once
#include "expand/text.h"

// `count` copies of `line`, each two separated by CR LF, none after the last.
inline Text lines(int count, const Text& line) {
    Text text;
    for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + line;
    return text;
}
