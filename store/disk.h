#pragma once
// The file primitives. The open-file table lives behind them: a file opened
// for loading stays held until close_all_files(), and a save of a held file
// is refused.
#include <cstddef>
#include <memory>
#include <optional>

#include "expand/text.h"

using FileId = int;

struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

class Disk {
public:
    virtual ~Disk() = default;
    // An existing file, opened for reading and writing while others may read
    // and write it too; never creates a file.
    virtual std::optional<FileId> open_for_load(const Text& path) = 0;
    // The whole file from its start, raw; nothing for a file no longer held,
    // a failed read, or a length no buffer can be had for.
    virtual std::optional<FileBytes> read_file(FileId file) = 0;
    // Gives the file exactly these bytes, creating it where its folder exists,
    // or leaves it untouched: refused where the file itself could not be
    // opened for writing with exclusive access. Never leaves it part-written.
    virtual bool write_whole_file(const Text& path, const Text& bytes) = 0;
    virtual void close_all_files() = 0;
};

// A read buffer that may fail quietly, unlike the memory for texts.
std::unique_ptr<char[]> try_allocate_buffer(std::size_t bytes);

// The text of a data file: everything before the first NUL or SUB at a
// character start, or before a lead byte that is followed by NUL.
std::size_t data_text_length(const char* bytes, std::size_t size);

// The file as a data text; the empty text for no file or a failed read.
Text read_all_text(Disk& disk, std::optional<FileId> file);
// The same, but nothing where a file was opened and could not be read whole
// (no buffer for its length, a read error): what it holds is unknown.
std::optional<Text> try_read_all_text(Disk& disk, std::optional<FileId> file);
