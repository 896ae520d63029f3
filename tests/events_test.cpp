#include <gtest/gtest.h>

#include "tests/harness.h"

namespace fs = std::filesystem;

TEST(WindowEvents, NothingCountsBeforeTheWindowIsCreated) {
    Harness h;
    write_bytes("data/tag1.txt", "seed");
    h.type_into(BoxKind::seed, "typed early");
    h.window.boxes[BoxKind::seed] = "x";
    h.events.handle_generate_click();
    h.events.handle_category_click(2);
    EXPECT_TRUE(h.window.sets.empty());
    EXPECT_EQ(read_bytes("data/tag1.txt"), "seed");
    EXPECT_FALSE(fs::exists("data/tag2.txt"));
}

TEST(WindowEvents, CreatedEventLoadsCategoryOneInBoxOrder) {
    Harness h;
    write_bytes("data/tag1.txt", "s");
    write_bytes("data/ty1.txt", "t");
    write_bytes("data/gjc1.txt", "r");
    h.events.handle_window_created();
    ASSERT_EQ(h.window.sets.size(), 3u);
    EXPECT_EQ(h.window.sets[0], std::make_pair(BoxKind::seed, Text("s")));
    EXPECT_EQ(h.window.sets[1], std::make_pair(BoxKind::statement, Text("t")));
    EXPECT_EQ(h.window.sets[2], std::make_pair(BoxKind::result, Text("r")));
}

TEST(WindowEvents, TypingRewritesOnlyTheCurrentFileOfThatKind) {
    Harness h;
    for (const char* path : {"data/tag1.txt", "data/ty1.txt", "data/gjc1.txt", "data/ty4.txt"})
        write_bytes(path, "orig");
    h.events.handle_window_created();
    h.events.handle_category_click(4);
    std::map<std::string, fs::file_time_type> written;
    for (const char* path : {"data/tag1.txt", "data/ty1.txt", "data/gjc1.txt", "data/tag4.txt", "data/gjc4.txt"})
        written[path] = age_file(path);
    h.type_into(BoxKind::statement, "orig*");
    EXPECT_EQ(read_bytes("data/ty4.txt"), "orig*");
    for (const auto& [path, time] : written) EXPECT_EQ(fs::last_write_time(path), time) << path;
}

TEST(WindowEvents, GenerateSavesTheResultFileEmptyThenFull) {
    Harness h;
    write_bytes("data/tag1.txt", "red\r\nblue");
    write_bytes("data/ty1.txt", "* shoes");
    write_bytes("data/gjc1.txt", "old");
    h.events.handle_window_created();
    std::vector<std::optional<std::string>> result_file;
    h.window.on_change = [&](BoxKind kind) {
        h.events.handle_box_change(kind);
        if (kind == BoxKind::result) result_file.push_back(read_bytes("data/gjc1.txt"));
    };
    const auto seed_written = age_file("data/tag1.txt");
    h.events.handle_generate_click();
    const Text result = banner_line() + "red shoes\r\nblue shoes\r\n";
    ASSERT_EQ(result_file.size(), 2u);
    EXPECT_EQ(result_file[0], Text());
    EXPECT_EQ(result_file[1], result);
    EXPECT_EQ(h.window.boxes[BoxKind::result], result);
    EXPECT_EQ(fs::last_write_time("data/tag1.txt"), seed_written);
}

TEST(WindowEvents, RefusedGenerateWritesNoFile) {
    Harness h;
    h.events.handle_window_created();
    h.type_into(BoxKind::statement, "*");
    h.type_into(BoxKind::result, "kept");
    Text many;
    for (int i = 0; i < 201; ++i) many += "k\r\n";
    h.type_into(BoxKind::seed, many);
    const auto written = age_file("data/gjc1.txt");
    const std::size_t sets_before = h.window.sets.size();
    h.events.handle_generate_click();
    EXPECT_EQ(h.window.warnings.size(), 1u);
    EXPECT_EQ(h.window.sets.size(), sets_before);
    EXPECT_EQ(read_bytes("data/gjc1.txt"), "kept");
    EXPECT_EQ(fs::last_write_time("data/gjc1.txt"), written);
}
