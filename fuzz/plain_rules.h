#pragma once
// The text rules as a reader of the file format and the line rules would
// apply them by hand: first cut the bytes into characters, then look at whole
// characters. Nothing here calls the program's own scanners, so a fuzz target
// that compares the two catches a fault in either.
#include <cstddef>
#include <string>
#include <vector>

namespace plain {

// A byte 0x80-0xFF starts a two-byte character that takes the next byte
// along, whatever it is; such a byte as the very last one stands alone.
struct Character {
    std::size_t start;
    std::size_t length;
};

inline std::vector<Character> characters(const std::string& bytes) {
    std::vector<Character> out;
    for (std::size_t at = 0; at < bytes.size();) {
        const bool lead = static_cast<unsigned char>(bytes[at]) >= 0x80;
        const std::size_t length = lead && at + 1 < bytes.size() ? 2 : 1;
        out.push_back({at, length});
        at += length;
    }
    return out;
}

// A data file's text: it ends at the first character that is a NUL or a SUB,
// or that is a two-byte character whose second byte is NUL.
inline std::size_t data_text_length(const std::string& file) {
    for (const Character& c : characters(file)) {
        const char first = file[c.start];
        if (c.length == 1 && (first == '\0' || first == '\x1A')) return c.start;
        if (c.length == 2 && file[c.start + 1] == '\0') return c.start;
    }
    return file.size();
}

// Lines at CR LF: a CR character directly followed by an LF character closes a
// line, an empty one too; a CR LF at the very end adds no empty line.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    const std::vector<Character> chars = characters(text);
    std::string line;
    bool open = false;  // something follows the last CR LF
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const Character& c = chars[i];
        if (c.length == 1 && text[c.start] == '\r' && i + 1 < chars.size() && chars[i + 1].length == 1 &&
            text[chars[i + 1].start] == '\n') {
            out.push_back(line);
            line.clear();
            open = false;
            ++i;
            continue;
        }
        line.append(text, c.start, c.length);
        open = true;
    }
    if (open) out.push_back(line);
    return out;
}

// Where the pattern begins at a character start, as a 0-based offset, or npos.
inline std::size_t find_at_character(const std::string& text, const std::string& pattern) {
    for (const Character& c : characters(text))
        if (text.compare(c.start, pattern.size(), pattern) == 0) return c.start;
    return std::string::npos;
}

}  // namespace plain
