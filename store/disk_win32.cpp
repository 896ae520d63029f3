// File primitives on Windows share modes: a load opens an existing file for
// reading and writing and lets others read and write it; a save asks for no
// sharing at all, so it is refused while a load (or another program) holds it.
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
        // OPEN_ALWAYS and then truncating keeps the file's attributes: CREATE_ALWAYS
        // would refuse a hidden or system file outright.
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !SetEndOfFile(file.get())) return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD put = 0;
            if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                           &put, nullptr) || put == 0)
                return false;
            done += put;
        }
        return true;
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
