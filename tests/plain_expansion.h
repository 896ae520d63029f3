#pragma once
// The expansion exactly as first described: the statement text is read once
// per seed, every "*" found by a scan from the first byte is replaced one at a
// time, and the result grows by one join per seed. Quadratic, and endless for
// a seed holding "*" at a character start; the tests and the benchmark use it
// as the oracle for everything else.
#include "expand/generate.h"

inline Text plain_expand_statements(const Text& statements, const TextList& seeds) {
    Text result = banner_line();
    for (const Text& seed_member : seeds) {
        Text block = copy_text(statements);
        const Text seed = copy_text(seed_member);
        for (int at = find_from(block, "*", 1); at != -1; at = find_from(block, "*", 1))
            block = replace_span(block, at, 1, seed);
        result = join_texts({result, block, crlf});
    }
    return result;
}

// Whether the plain method ends for this seed.
inline bool plain_method_ends(const Text& seed) { return find_from(seed, "*", 1) == -1; }
