#include "expand/text.h"

#include <algorithm>
#include <cstring>

TextList split_by_delimiter(const Text& text, const Text& delimiter) {
    TextList members;
    if (text.empty()) return members;
    if (delimiter.empty()) return {text};
    const std::size_t size = text.size();
    const std::size_t width = delimiter.size();
    std::size_t piece_start = 0;
    std::size_t at = 0;
    while (at + width <= size) {
        if (std::memcmp(text.data() + at, delimiter.data(), width) == 0) {
            members.emplace_back(text, piece_start, at - piece_start);
            at += width;
            piece_start = at;
        } else {
            at = character_end(text, at);
        }
    }
    if (piece_start < size) members.emplace_back(text, piece_start, Text::npos);
    return members;
}

int find_from(const Text& text, const Text& pattern, int start) {
    const std::size_t size = text.size();
    std::size_t at = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (pattern.empty() || at >= size) return -1;
    for (; at + pattern.size() <= size; at = character_end(text, at))
        if (std::memcmp(text.data() + at, pattern.data(), pattern.size()) == 0) return static_cast<int>(at) + 1;
    return -1;
}

Text replace_span(const Text& text, int position, int length, const Text& insertion) {
    const long long size = static_cast<long long>(text.size());
    const long long s = std::clamp<long long>(static_cast<long long>(position) - 1, 0, size);
    const long long k = std::clamp<long long>(length, 0, size - s);
    Text result;
    result.reserve(static_cast<std::size_t>(size - k) + insertion.size());
    result.append(text, 0, static_cast<std::size_t>(s));
    result += insertion;
    result.append(text, static_cast<std::size_t>(s + k), Text::npos);
    return result;
}

Text copy_text(const Text& text) { return text; }

Text join_texts(std::initializer_list<std::string_view> parts) {
    std::size_t total = 0;
    for (std::string_view part : parts) total += part.size();
    Text result;
    result.reserve(total);
    for (std::string_view part : parts) result += part;
    return result;
}
