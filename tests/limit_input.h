#pragma once
// The input at both limits that the Windows tests and benchmarks share: 200
// seeds and 800 statement lines with two wildcards each. Its result has
// 160,001 lines (5.9 MB), the largest a generate can make of such lines.
#include <string>

#include "expand/generate.h"

struct LimitInput {
    Text seeds;
    Text statements;
    Text result;
};

inline LimitInput limit_input() {
    LimitInput input;
    for (int i = 0; i < seed_limit; ++i)
        input.seeds += (i ? "\r\n" : "") + Text("关键词") + std::to_string(i);
    for (int i = 0; i < statement_limit; ++i)
        input.statements += (i ? "\r\n" : "") + Text("*的价格 * 哪家好 ") + std::to_string(i);
    input.result = expand_statements(input.statements, split_by_delimiter(input.seeds, crlf));
    return input;
}
