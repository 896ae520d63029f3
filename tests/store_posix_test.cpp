// Saves against faults only a POSIX system lets a test make by itself: a full
// disk (a tiny tmpfs, mounted as root), symbolic links, a process killed
// part-way through a save.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

// Whether a file holds exactly these bytes, saying only its size otherwise:
// the texts here are too long to print.
::testing::AssertionResult holds(const std::string& path, const Text& bytes) {
    const std::optional<Text> now = read_bytes(path);
    if (now == bytes) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds " << (now ? std::to_string(now->size()) + " other bytes" : "nothing")
                                         << ", not the " << bytes.size() << " expected";
}

// A tmpfs of `size` mounted over a folder until destroyed, where the system
// lets this process mount one.
class SmallDisk {
public:
    SmallDisk(const fs::path& folder, const char* size) : folder_(fs::absolute(folder)) {
        if (::geteuid() != 0) {
            why_not_ = "not root";
        } else if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) != 0) {
            why_not_ = std::string("mount failed: ") + std::strerror(errno);
        }
    }
    ~SmallDisk() {
        if (why_not_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    const std::string& why_not() const { return why_not_; }

private:
    fs::path folder_;
    std::string why_not_;
};

// Takes every byte the disk holding `path` has left.
void fill_disk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string block(4096, 'f');
    for (std::size_t size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

// The fault this mechanism mends: truncating a 20,480-byte file on a full
// disk and writing one byte more lost the tail of the user's text for good.
TEST(CategoryStorage, AFullDiskKeepsTheOldBytesAndLaterSavesSucceed) {
    Harness h;
    SmallDisk disk("data", "48k");
    if (!disk.why_not().empty()) {
        std::fprintf(stderr, "\n*** SKIPPED: the full-disk case needs a tmpfs (%s) ***\n\n", disk.why_not().c_str());
        GTEST_SKIP() << "no tmpfs: " << disk.why_not();
    }
    Text statements;
    for (int i = 0; statements.size() < 20480; ++i) statements += "*\xBC\xDB\xB8\xF1 " + std::to_string(i) + "\r\n";
    statements.resize(20480);
    write_bytes("data/ty1.txt", statements);
    h.events.handle_window_created();
    ASSERT_TRUE(h.window.boxes[BoxKind::statement] == statements);
    fill_disk("data/filler");

    Text box = statements;
    for (const char* key : {"a", "b", "c", "d", "e"}) {
        SCOPED_TRACE(key);
        box.insert(0, key);
        h.type_into(BoxKind::statement, box);
        EXPECT_TRUE(holds("data/ty1.txt", statements)) << "the old bytes entire";
        EXPECT_FALSE(fs::exists("data/ty1.txt.tmp"));
    }

    fs::remove("data/filler");
    box.insert(0, "f");
    h.type_into(BoxKind::statement, box);
    EXPECT_TRUE(holds("data/ty1.txt", box)) << "the whole box once there is room";
    EXPECT_FALSE(fs::exists("data/ty1.txt.tmp"));
}

TEST(CategoryStorage, ADataFileThatIsASymbolicLinkStaysOne) {
    struct Case {
        const char* why;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it points to
        std::string real_file;  // where the bytes live; empty for a loop
        bool exists;            // whether the real file is there before the load
    };
    const Case cases[] = {
        {"relative link into another folder", {{"data/tag1.txt", "../elsewhere/seeds.txt"}}, "elsewhere/seeds.txt", true},
        {"link to an absolute link",
         {{"data/tag1.txt", "link2"}, {"data/link2", "ABS/elsewhere/seeds.txt"}}, "elsewhere/seeds.txt", true},
        {"dangling link: its file is created", {{"data/tag1.txt", "../elsewhere/new.txt"}}, "elsewhere/new.txt", false},
        {"loop of links: refused", {{"data/tag1.txt", "tag1.txt"}}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Harness h;
        fs::create_directory("elsewhere");
        if (c.exists) write_bytes(c.real_file, "red");
        for (const auto& [link, to] : c.links) {
            std::string target = to;
            if (target.rfind("ABS/", 0) == 0) target = (h.folder.path() / target.substr(4)).string();
            fs::create_symlink(target, link);
        }
        h.events.handle_window_created();
        EXPECT_EQ(h.window.boxes[BoxKind::seed], c.exists ? "red" : "");
        h.type_into(BoxKind::seed, "blue");
        EXPECT_TRUE(fs::is_symlink("data/tag1.txt"));
        if (!c.real_file.empty()) {
            EXPECT_EQ(read_bytes(c.real_file), "blue");
            EXPECT_FALSE(fs::exists(c.real_file + ".tmp"));
        } else {
            EXPECT_FALSE(fs::exists("data/tag1.txt.tmp"));
        }
        EXPECT_EQ(std::distance(fs::directory_iterator("elsewhere"), fs::directory_iterator()), c.real_file.empty() ? 0 : 1);
    }
}

// Child processes save large texts over and over and are killed at a random
// moment; the file must then hold one of the texts whole, never a mix or a
// part. Every other run has two copies of the program saving the same file
// at once, which share the one temporary name.
TEST(CategoryStorage, AProcessKilledDuringASaveLeavesTheOldOrTheNewBytes) {
    ScratchFolder folder;
    const Text first(3 << 20, 'a'), second(2 << 20, 'b'), third(1 << 20, 'c');
    std::unique_ptr<Disk> disk = make_system_disk();
    ASSERT_TRUE(disk->write_whole_file("data/gjc1.txt", first));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> moment_us(0, 40000);
    int cut_short = 0;
    for (int run = 0; run < 40; ++run) {
        SCOPED_TRACE(run);
        std::vector<pid_t> children;
        for (int copy = 0; copy < (run % 2 ? 2 : 1); ++copy) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (int i = 0;; ++i) disk->write_whole_file("data/gjc1.txt", copy ? third : i % 2 ? first : second);
            }
            children.push_back(child);
        }
        ::usleep(static_cast<useconds_t>(moment_us(random)));
        for (pid_t child : children) ::kill(child, SIGKILL);
        for (pid_t child : children) ::waitpid(child, nullptr, 0);
        ASSERT_TRUE(holds("data/gjc1.txt", first) || holds("data/gjc1.txt", second) || holds("data/gjc1.txt", third))
            << "size " << read_bytes("data/gjc1.txt").value_or("").size();
        if (fs::exists("data/gjc1.txt.tmp")) ++cut_short;
        EXPECT_LE(std::distance(fs::directory_iterator("data"), fs::directory_iterator()), 2);
    }
    std::printf("killed during the write of the temporary file: %d of 40 runs\n", cut_short);
    EXPECT_TRUE(disk->write_whole_file("data/gjc1.txt", "after"));
    EXPECT_EQ(read_bytes("data/gjc1.txt"), "after");
    EXPECT_FALSE(fs::exists("data/gjc1.txt.tmp")) << "the next save takes the leftover";
}
