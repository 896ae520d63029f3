#include "tests/scratch.h"

#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() : previous_(fs::current_path()) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    path_ = fs::temp_directory_path() / ("kw-test-" + std::to_string(random()));
    fs::create_directories(path_ / "data");
    fs::current_path(path_);
}

ScratchFolder::~ScratchFolder() {
    fs::current_path(previous_);
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void make_read_only(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}
