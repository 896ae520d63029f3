#pragma once
#include "expand/window_ops.h"

inline constexpr int seed_limit = 200;
inline constexpr int statement_limit = 800;

extern const Text maker_address;  // the maker's web site, also shown by the link labels
extern const Text warning_title;
extern const Text seed_warning;
extern const Text statement_warning;
Text banner_line();

// Every "*" of the statement text that a scan finds at a character start is
// replaced by the seed. A seed is never searched itself, so a seed holding "*"
// ends too; the scan goes on after the seed as if it had been scanned, so a
// seed ending in a lone lead byte takes the next byte as its second byte.
Text expand_statements(const Text& statements, const TextList& seeds);

// The generate command: reads the seed and statement boxes, checks the two
// limits, then empties the result box and sets it to the banner and the blocks.
void generate_keywords(WindowOps& window);
