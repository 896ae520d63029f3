#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {
enum class FileSetup { bytes, missing, read_only, held_by_other, no_data_folder };

// The names in the data folder, sorted; none when it is missing.
std::vector<std::string> data_folder_names() {
    std::vector<std::string> names;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator("data", missing)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A save of the old kind leaves no file but the data files themselves.
bool only_data_files_in_folder() {
    for (const std::string& name : data_folder_names())
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) return false;
    return true;
}
}  // namespace

TEST(CategoryStorage, LoadAndSaveOutcomesPerFile) {
    struct Case {
        const char* why;
        FileSetup setup;
        Text file;             // bytes before the load
        Text loaded;           // the seed box after the load
        bool save_takes;       // whether a later change of the box is written
    };
    const Case cases[] = {
        {"ordinary GBK lines",              FileSetup::bytes, "red\r\n\xC4\xE3", "red\r\n\xC4\xE3", true},
        {"0-byte file",                     FileSetup::bytes, "",                "",                true},
        {"SUB ends the text",               FileSetup::bytes, "ab\x1A" "cd",     "ab",              true},
        {"NUL ends the text",               FileSetup::bytes, Text("ab\0cd", 5), "ab",              true},
        {"SUB after a lead byte is kept",   FileSetup::bytes, "ab\xB0\x1A" "cd", "ab\xB0\x1A" "cd", true},
        {"NUL after a lead byte cuts it",   FileSetup::bytes, Text("ab\xB0\0cd", 6), "ab",          true},
        {"lead byte as the last byte stays", FileSetup::bytes, "ab\xB0",         "ab\xB0",          true},
        {"SUB as the first byte",           FileSetup::bytes, "\x1A" "ab",       "",                true},
        {"byte-order mark is text",         FileSetup::bytes, "\xEF\xBB\xBF" "a", "\xEF\xBB\xBF" "a", true},
        {"missing file",                    FileSetup::missing, "",              "",                true},
        {"read-only file",                  FileSetup::read_only, "keep",        "",                false},
        {"held without sharing",            FileSetup::held_by_other, "keep",    "",                false},
        {"no data folder",                  FileSetup::no_data_folder, "",       "",                false},
    };
    const std::string path = "data/tag1.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Harness h;
        h.window.boxes[BoxKind::seed] = "previous text";
        std::unique_ptr<ExclusiveHolder> holder;
        fs::file_time_type written{};
        switch (c.setup) {
        case FileSetup::bytes:
        case FileSetup::read_only:
        case FileSetup::held_by_other:
            write_bytes(path, c.file);
            written = age_file(path);
            if (c.setup == FileSetup::read_only) make_read_only(path);
            if (c.setup == FileSetup::held_by_other) holder = hold_without_sharing(path);
            break;
        case FileSetup::missing: break;
        case FileSetup::no_data_folder: fs::remove_all("data"); break;
        }

        h.events.handle_window_created();
        EXPECT_EQ(h.window.boxes[BoxKind::seed], c.loaded);
        if (c.setup == FileSetup::missing) {
            EXPECT_EQ(read_bytes(path), Text()) << "the emptied box creates the file with 0 bytes";
        } else if (c.setup != FileSetup::no_data_folder && c.setup != FileSetup::held_by_other) {
            EXPECT_EQ(read_bytes(path), c.file) << "loading never rewrites a file";
            EXPECT_EQ(fs::last_write_time(path), written);
        }

        h.type_into(BoxKind::seed, "typed\r\nline");
        holder.reset();
        if (c.save_takes)
            EXPECT_EQ(read_bytes(path), "typed\r\nline");
        else if (c.setup == FileSetup::no_data_folder)
            EXPECT_FALSE(fs::exists("data")) << "the data folder is never created";
        else
            EXPECT_EQ(read_bytes(path), c.file);
        EXPECT_TRUE(only_data_files_in_folder()) << "a refused or finished save leaves no temporary file";
    }
}

TEST(CategoryStorage, ALeftoverOfAKilledSaveIsReusedNotPiledUp) {
    struct Case {
        const char* why;
        std::optional<Text> file;  // the data file before; nothing for a missing one
        Text leftover;             // what a save killed part-way left beside it
    };
    const Case cases[] = {
        {"leftover longer than the new text", Text("old"), Text(100000, 'z')},
        {"leftover of 0 bytes", Text("old"), ""},
        {"leftover beside a missing data file", std::nullopt, "half a sa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Harness h;
        if (c.file) write_bytes("data/tag1.txt", *c.file);
        write_bytes("data/tag1.txt.tmp", c.leftover);
        h.events.handle_window_created();
        EXPECT_EQ(h.window.boxes[BoxKind::seed], c.file.value_or(""));
        h.type_into(BoxKind::seed, "new");
        h.type_into(BoxKind::seed, "newer");
        EXPECT_EQ(read_bytes("data/tag1.txt"), "newer");
        EXPECT_EQ(data_folder_names(), (std::vector<std::string>{"gjc1.txt", "tag1.txt", "ty1.txt"}));
    }
}

TEST(CategoryStorage, ASaveKeepsWhatTheUserSetOnTheFile) {
    Harness h;
    write_bytes("data/ty1.txt", "a*b");
    set_user_marks("data/ty1.txt");
    ASSERT_TRUE(has_user_marks("data/ty1.txt"));
    h.events.handle_window_created();
    EXPECT_EQ(h.window.boxes[BoxKind::statement], "a*b") << "a marked file loads like any other";
    h.type_into(BoxKind::statement, "c*d");
    EXPECT_EQ(read_bytes("data/ty1.txt"), "c*d") << "and is saved";
    EXPECT_TRUE(has_user_marks("data/ty1.txt")) << "with its marks kept";
    EXPECT_TRUE(only_data_files_in_folder());
}

TEST(CategoryStorage, SelectingCategoryTenUsesItsOwnFiles) {
    Harness h;
    write_bytes("data/tag10.txt", "ten");
    write_bytes("data/tag1.txt", "one");
    write_bytes("data/tag01.txt", "leading zero");
    h.events.handle_window_created();
    h.events.handle_category_click(10);
    EXPECT_EQ(h.window.boxes[BoxKind::seed], "ten");
    EXPECT_STREQ(h.store.current_path(BoxKind::statement), "data/ty10.txt");
    h.type_into(BoxKind::seed, "changed");
    EXPECT_EQ(read_bytes("data/tag10.txt"), "changed");
    EXPECT_EQ(read_bytes("data/tag1.txt"), "one");
}

TEST(CategoryStorage, SwitchingToMissingFilesEmptiesBoxesAndCreatesEmptyFiles) {
    Harness h;
    write_bytes("data/tag1.txt", "red");
    write_bytes("data/ty1.txt", "* shoes");
    write_bytes("data/gjc1.txt", "old result");
    h.events.handle_window_created();
    const auto seed_written = age_file("data/tag1.txt");
    h.events.handle_category_click(2);
    for (BoxKind kind : all_box_kinds) EXPECT_EQ(h.window.boxes[kind], "");
    for (const char* path : {"data/tag2.txt", "data/ty2.txt", "data/gjc2.txt"})
        EXPECT_EQ(read_bytes(path), Text()) << path;
    EXPECT_EQ(read_bytes("data/tag1.txt"), "red");
    EXPECT_EQ(fs::last_write_time("data/tag1.txt"), seed_written);
}

TEST(CategoryStorage, ReselectingTheCurrentCategoryReloadsWithoutWriting) {
    Harness h;
    write_bytes("data/ty1.txt", "a*b");
    h.events.handle_window_created();
    const auto written = age_file("data/ty1.txt");
    h.window.boxes[BoxKind::statement] = "not saved";  // a change whose save failed
    h.events.handle_category_click(1);
    EXPECT_EQ(h.window.boxes[BoxKind::statement], "a*b");
    EXPECT_EQ(fs::last_write_time("data/ty1.txt"), written);
}

TEST(CategoryStorage, NoDataFolderWorksInMemoryAndCreatesNothing) {
    Harness h;
    fs::remove_all("data");
    h.events.handle_window_created();
    h.type_into(BoxKind::seed, "red");
    h.type_into(BoxKind::statement, "* shoes");
    h.events.handle_generate_click();
    EXPECT_EQ(h.window.boxes[BoxKind::result], banner_line() + "red shoes\r\n");
    h.events.handle_category_click(3);
    EXPECT_TRUE(fs::is_empty(h.folder.path()));
}

TEST(CategoryStorage, EmptyingABoxLeavesA0ByteFile) {
    Harness h;
    write_bytes("data/gjc1.txt", "result");
    h.events.handle_window_created();
    h.type_into(BoxKind::result, "");
    EXPECT_EQ(read_bytes("data/gjc1.txt"), Text());
}

TEST(CategoryStorage, SaveWithoutACategoryWritesNothing) {
    Harness h;
    h.store.save_box_text(BoxKind::seed, "x");
    h.store.select_category(0);
    h.store.select_category(11);
    EXPECT_EQ(h.store.current_path(BoxKind::seed), nullptr);
    EXPECT_TRUE(fs::is_empty("data"));
}

// A file whose text its box cannot hold shows an empty box, and no save may
// replace it with what is typed there, until the category is loaded again.
TEST(CategoryStorage, AFileItsBoxCannotHoldIsKeptUntilLoadedAgain) {
    struct Case {
        const char* why;
        BoxKind kind;
        std::size_t file_size;  // the box holds 1000 bytes
        bool kept;
    };
    const Case cases[] = {
        {"seed file one byte too long", BoxKind::seed, 1001, true},
        {"statement file far too long", BoxKind::statement, 100000, true},
        {"result file one byte too long", BoxKind::result, 1001, true},
        {"a file exactly as long as the box holds is an ordinary file", BoxKind::seed, 1000, false},
    };
    const char* const paths[] = {"data/tag1.txt", "data/ty1.txt", "data/gjc1.txt"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Harness h;
        h.window.capacity = 1000;
        const std::string path = paths[static_cast<int>(c.kind)];
        Text big;
        while (big.size() < c.file_size) big += big.size() % 16 == 14 ? "\r\n" : "\xC4\xE3";
        big.resize(c.file_size);
        write_bytes(path, big);
        const auto written = age_file(path);
        for (BoxKind other : all_box_kinds) h.window.boxes[other] = "previous category";

        h.events.handle_window_created();
        EXPECT_EQ(h.window.boxes[c.kind], c.kept ? Text() : big);
        EXPECT_EQ(read_bytes(path), big);
        EXPECT_EQ(fs::last_write_time(path), written) << "the load's own save is refused";

        h.type_into(c.kind, "typed");
        EXPECT_EQ(read_bytes(path), c.kept ? big : Text("typed"));
        for (BoxKind other : all_box_kinds) {
            if (other == c.kind) continue;
            h.type_into(other, "other box");
            EXPECT_EQ(read_bytes(paths[static_cast<int>(other)]), "other box") << "only that file is kept";
        }

        // Selecting another category and coming back loads the file again.
        h.events.handle_category_click(2);
        h.type_into(c.kind, "category two");
        EXPECT_EQ(read_bytes(Text(paths[static_cast<int>(c.kind)]).replace(path.find('1'), 1, "2")),
                  "category two");
        h.events.handle_category_click(1);
        h.type_into(c.kind, "typed again");
        EXPECT_EQ(read_bytes(path), c.kept ? big : Text("typed again")) << "still too long";

        // Once the file fits, reselecting the category lets saves through again.
        write_bytes(path, "short now");
        h.events.handle_category_click(1);
        EXPECT_EQ(h.window.boxes[c.kind], "short now");
        h.type_into(c.kind, "typed at last");
        EXPECT_EQ(read_bytes(path), "typed at last");
    }
}

namespace {
// The system's primitives, except that reading one file fails, as it does
// where no buffer can be had for the file's length.
struct UnreadableFileDisk : Disk {
    std::unique_ptr<Disk> system = make_system_disk();
    Text unreadable;
    std::map<FileId, Text> opened;
    std::optional<FileId> open_for_load(const Text& path) override {
        std::optional<FileId> file = system->open_for_load(path);
        if (file) opened[*file] = path;
        return file;
    }
    std::optional<FileBytes> read_file(FileId file) override {
        if (opened[file] == unreadable) return std::nullopt;
        return system->read_file(file);
    }
    bool write_whole_file(const Text& path, const Text& bytes) override {
        return system->write_whole_file(path, bytes);
    }
    void close_all_files() override { system->close_all_files(); }
};
}  // namespace

TEST(CategoryStorage, AFileThatCannotBeReadIsKeptLikeOneTooLongForItsBox) {
    ScratchFolder folder;
    UnreadableFileDisk disk;
    disk.unreadable = "data/ty1.txt";
    FakeWindow window;
    CategoryStore store{disk, window};
    EventHandlers events{store, window};
    window.on_change = [&](BoxKind kind) { events.handle_box_change(kind); };
    write_bytes("data/ty1.txt", "unread * statements");
    window.boxes[BoxKind::statement] = "previous category";

    events.handle_window_created();
    EXPECT_EQ(window.boxes[BoxKind::statement], "");
    window.boxes[BoxKind::statement] = "typed";
    events.handle_box_change(BoxKind::statement);
    EXPECT_EQ(read_bytes("data/ty1.txt"), "unread * statements");
    window.boxes[BoxKind::seed] = "seed";
    events.handle_box_change(BoxKind::seed);
    EXPECT_EQ(read_bytes("data/tag1.txt"), "seed");
    disk.close_all_files();
}
