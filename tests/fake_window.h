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
    std::size_t capacity = Text().max_size();     // the longest text a box holds

    Text read_box_text(BoxKind box) override { return boxes[box]; }
    bool set_box_text(BoxKind box, const Text& text) override {
        const bool holds = text.size() <= capacity;
        boxes[box] = holds ? text : Text();
        sets.emplace_back(box, text);
        if (on_change) on_change(box);
        return holds;
    }
    void show_warning(const Text& message, const Text& title) override {
        warnings.emplace_back(message, title);
    }
};
