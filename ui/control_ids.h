#pragma once
// The control ids of the main window, named as the controls are. The
// children of the two panels are children of 分组框1 and 分组框2.
#include "store/category_table.h"

enum : int {
    id_超文本浏览框1 = 100,
    id_单选框1,  // to id_单选框1 + 9 for 单选框10
    id_单选框10 = id_单选框1 + category_count - 1,
    id_分组框1,
    id_超级链接框1,
    id_标签3,
    id_标签2,
    id_标签1,
    id_生成关键词按钮,
    id_分组框2,
    id_超级链接框5,
    id_超级链接框4,
    id_超级链接框3,
    id_超级链接框2,
    id_合成编辑框,
    id_通用编辑框,
    id_种子编辑框,
    id_分组框3,
    id_after_last,
};
