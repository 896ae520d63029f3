// File primitives for systems without share modes. A save is refused while
// the same file is held in the open-file table (checked by identity, and by
// the shared lock a load takes); files that another program locks with
// flock() are refused as well. A file without any write permission bit
// stands for the read-only attribute, also for root.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "store/system_disk.h"
#include "store/unique_handle.h"

namespace {

struct FdTraits {
    using Handle = int;
    static Handle invalid() { return -1; }
    static void close(Handle fd) { ::close(fd); }
};
using UniqueFd = UniqueHandle<FdTraits>;

bool is_read_only(const struct stat& st) { return (st.st_mode & 0222) == 0; }

class PosixDisk final : public Disk {
public:
    std::optional<FileId> open_for_load(const Text& path) override {
        struct stat st {};
        if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
        if (!S_ISREG(st.st_mode) || is_read_only(st)) return std::nullopt;
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
        if (!fd || ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0) return std::nullopt;
        ::fstat(fd.get(), &st);
        open_files_.push_back({next_id_, st.st_dev, st.st_ino, std::move(fd)});
        return next_id_++;
    }

    std::optional<FileBytes> read_file(FileId file) override {
        const Held* held = find(file);
        struct stat st {};
        if (!held || ::fstat(held->fd.get(), &st) != 0 || st.st_size < 0) return std::nullopt;
        FileBytes bytes;
        bytes.size = static_cast<std::size_t>(st.st_size);
        bytes.data = try_allocate_buffer(bytes.size);
        if (!bytes.data) return std::nullopt;
        std::size_t done = 0;
        while (done < bytes.size) {
            const ssize_t got = ::pread(held->fd.get(), bytes.data.get() + done, bytes.size - done,
                                        static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return std::nullopt;
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    }

    bool write_whole_file(const Text& path, const Text& bytes) override {
        if (path.empty()) return false;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && (is_read_only(st) || is_held(st))) return false;
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
        if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
        if (::ftruncate(fd.get(), 0) != 0) return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            done += static_cast<std::size_t>(put);
        }
        return true;
    }

    void close_all_files() override { open_files_.clear(); }

private:
    struct Held {
        FileId id;
        dev_t device;
        ino_t inode;
        UniqueFd fd;
    };

    const Held* find(FileId file) const {
        for (const Held& held : open_files_)
            if (held.id == file) return &held;
        return nullptr;
    }
    bool is_held(const struct stat& st) const {
        for (const Held& held : open_files_)
            if (held.device == st.st_dev && held.inode == st.st_ino) return true;
        return false;
    }

    std::vector<Held> open_files_;
    FileId next_id_ = 1;
};

}  // namespace

std::unique_ptr<Disk> make_system_disk() { return std::make_unique<PosixDisk>(); }
