#pragma once
// A window of three boxes in memory. Like the real rich edit, set_box_text()
// raises the box's change notice and runs the handler before it returns.
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "expand/window_ops.h"

struct FakeWindow : WindowOps {
    std::map<BoxKind, Text> boxes;
    std::vector<std::pair<BoxKind, Text>> sets;
    std::vector<std::pair<Text, Text>> warnings;  // message, title
    std::function<void(BoxKind)> on_change;       // the window's change notice

    Text read_box_text(BoxKind box) override { return boxes[box]; }
    void set_box_text(BoxKind box, const Text& text) override {
        boxes[box] = text;
        sets.emplace_back(box, text);
        if (on_change) on_change(box);
    }
    void show_warning(const Text& message, const Text& title) override {
        warnings.emplace_back(message, title);
    }
};
