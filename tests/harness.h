#pragma once
// The portable core wired as the program wires it, over the platform's real
// file primitives in a scratch folder: FakeWindow runs the change handler
// inside set_box_text(), as the rich edit does.
#include <filesystem>

#include "expand/generate.h"
#include "store/category_store.h"
#include "store/system_disk.h"
#include "tests/fake_window.h"
#include "tests/scratch.h"
#include "ui/event_handlers.h"

struct Harness {
    ScratchFolder folder;
    std::unique_ptr<Disk> disk = make_system_disk();
    FakeWindow window;
    CategoryStore store{*disk, window};
    EventHandlers events{store, window};

    Harness() {
        window.on_change = [this](BoxKind kind) { events.handle_box_change(kind); };
    }
    ~Harness() { disk->close_all_files(); }

    // What a keystroke does: the box's text changes, then its notice arrives.
    void type_into(BoxKind kind, const Text& text) {
        window.boxes[kind] = text;
        events.handle_box_change(kind);
    }
};

// Marks a file as written long ago, so that any rewrite shows.
inline std::filesystem::file_time_type age_file(const std::string& path) {
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(path, old);
    return std::filesystem::last_write_time(path);
}
