// Any bytes as a data file and as a box's text: the file's text must end where
// the format's cut says, and the text must split into lines where CR LF says,
// both by the two-byte rule.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "expand/text.h"
#include "fuzz/memory_disk.h"
#include "fuzz/plain_rules.h"

namespace {
void check(bool holds) {
    if (!holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::size_t cut = plain::data_text_length(bytes);
    check(data_text_length(bytes.data(), bytes.size()) == cut);
    // Through the load path too: what a held file reads as.
    MemoryDisk disk;
    disk.files["data/tag1.txt"] = bytes;
    check(read_all_text(disk, disk.open_for_load("data/tag1.txt")) == bytes.substr(0, cut));
    disk.close_all_files();
    check(read_all_text(disk, FileId{1}).empty());  // no longer held

    for (const std::string& text : {bytes, bytes.substr(0, cut)}) {
        const TextList members = split_by_delimiter(text, crlf);
        check(members == plain::lines(text));
        // The lines and their CR LFs give back the text.
        Text joined;
        for (std::size_t i = 0; i < members.size(); ++i) joined += (i ? crlf : Text()) + members[i];
        check(joined == text || joined + crlf == text);
    }
    return 0;
}
