#include "store/category_table.h"

namespace {
const CategoryRow table[category_count] = {
    {"莫认区", "data/tag1.txt", "data/ty1.txt", "data/gjc1.txt"},
    {"省市县", "data/tag2.txt", "data/ty2.txt", "data/gjc2.txt"},
    {"提问类", "data/tag3.txt", "data/ty3.txt", "data/gjc3.txt"},
    {"热门类", "data/tag4.txt", "data/ty4.txt", "data/gjc4.txt"},
    {"学术类", "data/tag5.txt", "data/ty5.txt", "data/gjc5.txt"},
    {"产品类", "data/tag6.txt", "data/ty6.txt", "data/gjc6.txt"},
    {"搜索类", "data/tag7.txt", "data/ty7.txt", "data/gjc7.txt"},
    {"未知一", "data/tag8.txt", "data/ty8.txt", "data/gjc8.txt"},
    {"未知二", "data/tag9.txt", "data/ty9.txt", "data/gjc9.txt"},
    {"未知三", "data/tag10.txt", "data/ty10.txt", "data/gjc10.txt"},
};
}  // namespace

const CategoryRow& category_row(int n) { return table[n - 1]; }
