#pragma once
inline constexpr int category_count = 10;

struct CategoryRow {
    const char* caption;  // the text of the category's radio button
    const char* seed_path;
    const char* statement_path;
    const char* result_path;
};

// Row n (1 to 10) of the constant table.
const CategoryRow& category_row(int n);
