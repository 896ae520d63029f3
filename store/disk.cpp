#include "store/disk.h"

#include <new>

std::unique_ptr<char[]> try_allocate_buffer(std::size_t bytes) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[bytes ? bytes : 1]);
}

std::size_t data_text_length(const char* bytes, std::size_t size) {
    const std::string_view text(bytes, size);
    for (std::size_t at = 0; at < size; at = character_end(text, at)) {
        const char c = text[at];
        if (c == '\0' || c == '\x1A') return at;
        if (is_lead_byte(c) && at + 1 < size && text[at + 1] == '\0') return at;
    }
    return size;
}

std::optional<Text> try_read_all_text(Disk& disk, std::optional<FileId> file) {
    if (!file) return Text();
    std::optional<FileBytes> bytes = disk.read_file(*file);
    if (!bytes) return std::nullopt;
    if (bytes->size == 0) return Text();
    return Text(bytes->data.get(), data_text_length(bytes->data.get(), bytes->size));
}

Text read_all_text(Disk& disk, std::optional<FileId> file) {
    return try_read_all_text(disk, file).value_or(Text());
}
