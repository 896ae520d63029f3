#pragma once
// The main window's controls, one row each: the one description from which
// the window is built, its ids taken, its events routed and its focus order
// found. Portable data; the _win32 creators read a row and make its control.
#include <array>
#include <variant>

#include "expand/window_ops.h"
#include "ui/colour.h"
#include "ui/control_ids.h"
#include "ui/link_label.h"

enum class ControlKind { web_strip, radio, group, link, label, button, editor };

struct CategoryNumber {
    int n;  // 1 to category_count; the caption comes from the category table
};

// What a control stands for beyond its kind: the editor box of a BoxKind, the
// radio button of a category, or one of the five link labels.
using ControlRole = std::variant<std::monostate, BoxKind, CategoryNumber, LinkLabelId>;

struct ControlPlace {
    int x, y, width, height;  // in the parent's client area
};

struct ControlRow {
    const char* name;
    int id;
    ControlKind kind;
    int parent_id;     // 0: the window itself
    ControlPlace place;
    const char* text;  // nullptr: none, or the role's (a category caption, a link label's)
    Colour ink;        // the text colour of a label and the caption colour of a panel
    ControlRole role;
};

// The controls in stacking order, top to bottom; each panel's children are
// stacked by themselves in the order given. The focus order is the reverse
// of the window's own children's order.
inline constexpr std::array<ControlRow, 26> window_layout{{
    {"超文本浏览框1", id_超文本浏览框1, ControlKind::web_strip, 0, {2, 689, 715, 18}, nullptr, black, {}},
    {"单选框1", id_单选框1 + 0, ControlKind::radio, 0, {17, 581, 64, 16}, nullptr, black, CategoryNumber{1}},
    {"单选框2", id_单选框1 + 1, ControlKind::radio, 0, {85, 581, 64, 16}, nullptr, black, CategoryNumber{2}},
    {"单选框3", id_单选框1 + 2, ControlKind::radio, 0, {153, 581, 64, 16}, nullptr, black, CategoryNumber{3}},
    {"单选框4", id_单选框1 + 3, ControlKind::radio, 0, {221, 581, 64, 16}, nullptr, black, CategoryNumber{4}},
    {"单选框5", id_单选框1 + 4, ControlKind::radio, 0, {289, 581, 64, 16}, nullptr, black, CategoryNumber{5}},
    {"单选框6", id_单选框1 + 5, ControlKind::radio, 0, {357, 581, 64, 16}, nullptr, black, CategoryNumber{6}},
    {"单选框7", id_单选框1 + 6, ControlKind::radio, 0, {425, 581, 64, 16}, nullptr, black, CategoryNumber{7}},
    {"单选框8", id_单选框1 + 7, ControlKind::radio, 0, {493, 581, 64, 16}, nullptr, black, CategoryNumber{8}},
    {"单选框9", id_单选框1 + 8, ControlKind::radio, 0, {561, 581, 64, 16}, nullptr, black, CategoryNumber{9}},
    {"单选框10", id_单选框10, ControlKind::radio, 0, {636, 581, 64, 16}, nullptr, black, CategoryNumber{10}},
    {"分组框1", id_分组框1, ControlKind::group, 0, {2, 603, 424, 85}, "软件说明", grey, {}},
    {"超级链接框1", id_超级链接框1, ControlKind::link, id_分组框1, {10, 62, 405, 19}, nullptr, black, LinkLabelId::超级链接框1},
    {"标签3", id_标签3, ControlKind::label, id_分组框1, {11, 45, 325, 19}, "通配语句中，每行一句，每行中必需包含一个通配符*号！", grey, {}},
    {"标签2", id_标签2, ControlKind::label, id_分组框1, {11, 29, 325, 19}, "关键词每行一个，不能有无效数据或空行，否则将出现错误！", grey, {}},
    {"标签1", id_标签1, ControlKind::label, id_分组框1, {11, 12, 317, 19}, "以上三项分别是，关键词、通配语句、匹配结果！", grey, {}},
    {"生成关键词按钮", id_生成关键词按钮, ControlKind::button, 0, {431, 608, 284, 32}, "点 击 生 成   括 展 关 键 词", black, {}},
    {"分组框2", id_分组框2, ControlKind::group, 0, {432, 648, 285, 40}, "网站管理", blue, {}},
    {"超级链接框5", id_超级链接框5, ControlKind::link, id_分组框2, {216, 16, 57, 16}, nullptr, black, LinkLabelId::超级链接框5},
    {"超级链接框4", id_超级链接框4, ControlKind::link, id_分组框2, {130, 16, 79, 16}, nullptr, black, LinkLabelId::超级链接框4},
    {"超级链接框3", id_超级链接框3, ControlKind::link, id_分组框2, {72, 16, 51, 16}, nullptr, black, LinkLabelId::超级链接框3},
    {"超级链接框2", id_超级链接框2, ControlKind::link, id_分组框2, {7, 16, 58, 16}, nullptr, black, LinkLabelId::超级链接框2},
    {"合成编辑框", id_合成编辑框, ControlKind::editor, 0, {420, 0, 298, 566}, nullptr, black, BoxKind::result},
    {"通用编辑框", id_通用编辑框, ControlKind::editor, 0, {200, 0, 220, 566}, nullptr, black, BoxKind::statement},
    {"种子编辑框", id_种子编辑框, ControlKind::editor, 0, {0, 0, 200, 566}, nullptr, black, BoxKind::seed},
    {"分组框3", id_分组框3, ControlKind::group, 0, {2, 568, 715, 34}, "分类", blue, {}},
}};
static_assert(window_layout.size() == id_after_last - id_超文本浏览框1, "one row for every control id");

inline constexpr int first_control_id = id_超文本浏览框1;

constexpr bool ids_follow_rows() {
    for (std::size_t i = 0; i < window_layout.size(); ++i)
        if (window_layout[i].id != first_control_id + static_cast<int>(i)) return false;
    return true;
}
static_assert(ids_follow_rows(), "row i has the id first_control_id + i, so an id finds its row at once");

// The window's own children take the focus, all but the panels; the panels'
// children (labels and link labels) never do.
constexpr bool takes_focus(const ControlRow& row) { return row.parent_id == 0 && row.kind != ControlKind::group; }

constexpr bool is_control_id(int id) { return id >= first_control_id && id < id_after_last; }
constexpr const ControlRow& layout_row(int id) { return window_layout[static_cast<std::size_t>(id - first_control_id)]; }

constexpr const ControlRow& box_row(BoxKind kind) {
    for (const ControlRow& row : window_layout)
        if (const BoxKind* box = std::get_if<BoxKind>(&row.role); box && *box == kind) return row;
    return window_layout[0];  // not reached: every kind has its box
}

// The category of a radio button's row; 0 for any other row.
constexpr int category_of(const ControlRow& row) {
    const CategoryNumber* category = std::get_if<CategoryNumber>(&row.role);
    return category ? category->n : 0;
}

constexpr bool one_radio_button_per_category() {
    int next = 1;
    for (const ControlRow& row : window_layout)
        if (const int category = category_of(row); category && category != next++) return false;
    return next == category_count + 1;
}
static_assert(one_radio_button_per_category(), "单选框N stands for category N, every category has one");
