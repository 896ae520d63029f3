// File primitives for systems without share modes. A save is refused while
// the same file is held in the open-file table (checked by identity, and by
// the shared lock a load takes); files that another program locks with
// flock() are refused as well. A file without any write permission bit
// stands for the read-only attribute, also for root.
//
// A save never writes into the data file itself. The new bytes go to a
// temporary file beside it ("tag1.txt.tmp"), are synced to the disk, and the
// temporary file is renamed over the data file, which is atomic; the folder is
// synced after. A full disk, a failed write or a process killed part-way
// leaves the data file with its old bytes entire; the one temporary name per
// data file means a leftover of a killed save is overwritten by the next
// save, never piled up. A data file that is a symbolic link stays one: the
// file it points to is replaced, and keeps its permission bits and owner.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
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

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names at its end, following symbolic links (relative ones
// from the link's own folder); nothing for a loop of links.
std::optional<std::string> final_file(std::string path) {
    for (int links = 0; links < 40; ++links) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        path = target[0] == '/' ? target : folder_of(path) + "/" + target;
    }
    return std::nullopt;
}

bool write_all(int fd, const Text& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

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
        const std::optional<std::string> data_file = final_file(path);
        if (!data_file) return false;
        // Every refusal of writing in place still holds: the data file itself
        // must open for writing and take the exclusive lock. Only a missing file
        // in an existing folder goes on, to be created by the rename.
        struct stat st {};
        UniqueFd target;
        if (::stat(data_file->c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode) || is_read_only(st) || is_held(st)) return false;
            target = UniqueFd(::open(data_file->c_str(), O_WRONLY | O_CLOEXEC));
            if (!target || ::flock(target.get(), LOCK_EX | LOCK_NB) != 0) return false;
        } else if (errno != ENOENT) {
            return false;
        }

        const std::string temporary = *data_file + ".tmp";
        UniqueFd file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
        if (!file || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return false;
        // Another copy of the program may have renamed this temporary file into
        // place between our open and our lock: then it is a data file now.
        struct stat opened {}, named {};
        if (::fstat(file.get(), &opened) != 0 || ::lstat(temporary.c_str(), &named) != 0 || !same_file(opened, named))
            return false;
        if (target) {  // best effort, as a rewrite in place would have kept them
            if (::fchown(file.get(), st.st_uid, st.st_gid) != 0) { /* not ours to give away */ }
            ::fchmod(file.get(), st.st_mode & 07777);
        }
        const bool renamed = ::ftruncate(file.get(), 0) == 0 && write_all(file.get(), bytes) &&
                             ::fsync(file.get()) == 0 && ::rename(temporary.c_str(), data_file->c_str()) == 0;
        if (!renamed) {
            ::unlink(temporary.c_str());
            return false;
        }
        // The rename itself is on the disk once the folder is.
        UniqueFd folder(::open(folder_of(*data_file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder) ::fsync(folder.get());
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
