// File primitives on Windows share modes: a load opens an existing file for
// reading and writing and lets others read and write it; a save asks for no
// sharing at all, so it is refused while a load (or another program) holds it.
//
// A save never writes into the data file itself. The new bytes go to a
// temporary file beside it ("tag1.txt.tmp"), are flushed to the disk, and the
// temporary file is then moved over the data file in one step. A full disk, a
// failed write or a process killed part-way leaves the data file with its old
// bytes entire; the one temporary name per data file means a leftover of a
// killed save is overwritten by the next save, never piled up.
//
// MoveFileExA, not ReplaceFileA: under Wine, ReplaceFile moves the old file
// aside and deletes it before it moves the new one in, so a kill in between
// would lose both. The hidden, system and not-indexed attributes are carried
// over by hand; the new file takes its permissions from the folder, as a data
// file created by the program always has.
#include <windows.h>

#include <vector>

#include "store/system_disk.h"
#include "store/unique_handle.h"

namespace {

struct FileTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }  // CreateFileA's failure value, not NULL
    static void close(Handle h) { CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileTraits>;

// Lengths and positions of texts are signed 32-bit.
constexpr LONGLONG largest_text = 0x7FFFFFFE;

// What a user may have set on a data file and expects a save to keep; the
// archive bit is set anew by the write, as by writing in place.
constexpr DWORD kept_attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool write_all(HANDLE file, const Text& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return true;
}

class Win32Disk final : public Disk {
public:
    std::optional<FileId> open_for_load(const Text& path) override {
        if (path.empty()) return std::nullopt;
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return std::nullopt;
        open_files_.push_back({next_id_, std::move(file)});
        return next_id_++;
    }

    std::optional<FileBytes> read_file(FileId file) override {
        const Held* held = find(file);
        LARGE_INTEGER length{};
        if (!held || !GetFileSizeEx(held->file.get(), &length)) return std::nullopt;
        if (length.QuadPart < 0 || length.QuadPart > largest_text) return std::nullopt;
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(held->file.get(), start, nullptr, FILE_BEGIN)) return std::nullopt;
        FileBytes bytes;
        bytes.size = static_cast<std::size_t>(length.QuadPart);
        bytes.data = try_allocate_buffer(bytes.size);
        if (!bytes.data) return std::nullopt;
        std::size_t done = 0;
        while (done < bytes.size) {
            DWORD got = 0;
            if (!ReadFile(held->file.get(), bytes.data.get() + done,
                          static_cast<DWORD>(bytes.size - done), &got, nullptr) || got == 0)
                return std::nullopt;
            done += got;
        }
        return bytes;
    }

    bool write_whole_file(const Text& path, const Text& bytes) override {
        if (path.empty()) return false;
        // Every refusal of writing in place still holds: the data file itself
        // must open for writing with no sharing (not held by a load or another
        // program, not read-only). Only a missing file in an existing folder
        // goes on, to be created by the move.
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        {
            UniqueFile target(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!target && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
            BY_HANDLE_FILE_INFORMATION info{};
            if (target && GetFileInformationByHandle(target.get(), &info) && (info.dwFileAttributes & kept_attributes))
                attributes = info.dwFileAttributes & kept_attributes;
        }  // closed: the move cannot replace a file that is open

        const Text temporary = path + ".tmp";
        // A leftover marked hidden or system would make CREATE_ALWAYS refuse it.
        SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        // Held with no sharing but delete until it is moved: another copy of the
        // program cannot open the same temporary file and cut it short meanwhile,
        // and the move (which opens it for deleting) still can.
        UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                    attributes, nullptr));
        if (!file) return false;
        const bool moved = write_all(file.get(), bytes) && FlushFileBuffers(file.get()) &&
                           MoveFileExA(temporary.c_str(), path.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        file.reset();
        if (!moved) DeleteFileA(temporary.c_str());
        return moved;
    }

    void close_all_files() override { open_files_.clear(); }

private:
    struct Held {
        FileId id;
        UniqueFile file;
    };

    const Held* find(FileId file) const {
        for (const Held& held : open_files_)
            if (held.id == file) return &held;
        return nullptr;
    }

    std::vector<Held> open_files_;
    FileId next_id_ = 1;
};

}  // namespace

std::unique_ptr<Disk> make_system_disk() { return std::make_unique<Win32Disk>(); }
