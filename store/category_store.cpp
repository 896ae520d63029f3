#include "store/category_store.h"

void CategoryStore::select_category(int n) {
    if (n < 1 || n > category_count) return;
    const CategoryRow& row = category_row(n);
    seed_path_ = row.seed_path;
    statement_path_ = row.statement_path;
    result_path_ = row.result_path;
    load_current_category();
}

const char* CategoryStore::current_path(BoxKind kind) const {
    switch (kind) {
    case BoxKind::seed: return seed_path_;
    case BoxKind::statement: return statement_path_;
    case BoxKind::result: return result_path_;
    }
    return nullptr;
}

void CategoryStore::load_current_category() {
    for (BoxKind kind : all_box_kinds) {
        const char* path = current_path(kind);
        // The file stays open until close_all_files(): the save raised inside
        // set_box_text() must find it held and be refused, so loading never
        // rewrites the file it has just read.
        const std::optional<FileId> file = path ? disk_.open_for_load(path) : std::nullopt;
        const std::optional<Text> text = try_read_all_text(disk_, file);
        bool& unloaded = unloaded_[static_cast<std::size_t>(kind)];
        unloaded = !text;
        // The empty text for an unread file: the previous category's text
        // never stays in the box.
        if (!window_.set_box_text(kind, text ? *text : Text())) unloaded = true;
    }
    close_all_files();
}

void CategoryStore::save_box_text(BoxKind kind, const Text& text) {
    const char* path = current_path(kind);
    if (path && !unloaded_[static_cast<std::size_t>(kind)]) disk_.write_whole_file(path, text);
    close_all_files();
}

void CategoryStore::release_current_paths() {
    seed_path_ = statement_path_ = result_path_ = nullptr;
}
