#pragma once
#include <array>

#include "expand/window_ops.h"
#include "store/category_table.h"
#include "store/disk.h"

// The current category and its three data files. Every change of a box is
// saved at once, so nothing of a category is held beyond the boxes' texts.
class CategoryStore {
public:
    CategoryStore(Disk& disk, WindowOps& window) : disk_(disk), window_(window) {}

    void select_category(int n);  // n from 1 to 10; other values are ignored
    void load_current_category();
    void save_box_text(BoxKind kind, const Text& text);
    void close_all_files() { disk_.close_all_files(); }
    void release_current_paths();

    // The current path of a kind, or nullptr before the first selection.
    const char* current_path(BoxKind kind) const;

private:
    Disk& disk_;
    WindowOps& window_;
    const char* seed_path_ = nullptr;
    const char* statement_path_ = nullptr;
    const char* result_path_ = nullptr;
    // Kinds whose current file did not reach its box whole: the file could not
    // be read, or the box could not hold its text. The box shows nothing of
    // it, so a save would replace the file with whatever is typed there; such
    // a file is kept like a read-only one until the category is loaded again.
    std::array<bool, 3> unloaded_{};
};
