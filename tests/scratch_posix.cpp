#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/scratch.h"

namespace {
class FlockHolder final : public ExclusiveHolder {
public:
    explicit FlockHolder(const std::string& path) : fd_(::open(path.c_str(), O_RDWR)) {
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~FlockHolder() override {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_;
};
}  // namespace

std::unique_ptr<ExclusiveHolder> hold_without_sharing(const std::string& path) {
    return std::make_unique<FlockHolder>(path);
}

void set_user_marks(const std::string& path) { ::chmod(path.c_str(), 0604); }

bool has_user_marks(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0604;
}
