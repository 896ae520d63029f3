#pragma once
// A scratch folder that is the current directory for one test, and the few
// file operations the tests need beside the product's own primitives.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class ScratchFolder {
public:
    ScratchFolder();  // empty, with a data folder; current directory until destroyed
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

void write_bytes(const std::string& path, const std::string& bytes);
std::optional<std::string> read_bytes(const std::string& path);  // nothing if missing
void make_read_only(const std::string& path);
// What a user may set on a file and expects every save to keep: the hidden
// and system attributes on Windows, unusual permission bits elsewhere.
void set_user_marks(const std::string& path);
bool has_user_marks(const std::string& path);

// Another program holding the file open without sharing it, until destroyed.
class ExclusiveHolder {
public:
    virtual ~ExclusiveHolder() = default;
};
std::unique_ptr<ExclusiveHolder> hold_without_sharing(const std::string& path);
