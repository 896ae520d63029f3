#include <windows.h>

#include "tests/scratch.h"

namespace {
class NoShareHolder final : public ExclusiveHolder {
public:
    explicit NoShareHolder(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~NoShareHolder() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }

private:
    HANDLE file_;
};
}  // namespace

std::unique_ptr<ExclusiveHolder> hold_without_sharing(const std::string& path) {
    return std::make_unique<NoShareHolder>(path);
}

void set_user_marks(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

bool has_user_marks(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & marks) == marks;
}
