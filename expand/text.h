#pragma once
// Texts are byte strings in the ANSI code page (936, GBK). Where a text is
// scanned, a byte 0x80-0xFF begins a two-byte character that takes the next
// byte along, whatever it is; a match is only tried at a character start.
// Positions are 1-based; -1 means no match.
#include <string>
#include <string_view>
#include <vector>

using Text = std::string;
using TextList = std::vector<Text>;

inline bool is_lead_byte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// The one stepping rule of every scan: the position just after the character
// that starts at `at` (0-based, inside the text). A lead byte takes the next
// byte along whatever it is; a lead byte that is the last byte reaches one
// past the end, which tells the scan that the text ended inside a character.
inline std::size_t character_end(std::string_view text, std::size_t at) {
    return at + (is_lead_byte(text[at]) ? 2 : 1);
}

// Cuts at every delimiter; a delimiter at the very end adds no empty member.
TextList split_by_delimiter(const Text& text, const Text& delimiter);
int find_from(const Text& text, const Text& pattern, int start);
Text replace_span(const Text& text, int position, int length, const Text& insertion);
Text copy_text(const Text& text);
Text join_texts(std::initializer_list<std::string_view> parts);

inline const Text crlf = "\r\n";
