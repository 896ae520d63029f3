#include <gtest/gtest.h>

#include "expand/text.h"

TEST(CharacterEnd, ALeadByteTakesTheNextByteWhateverItIs) {
    struct Case { const char* why; Text text; std::size_t at; std::size_t end; };
    const Case cases[] = {
        {"ASCII byte is one character",             "ab",           0, 1},
        {"GBK character is two bytes",              "\xC4\xE3",     0, 2},
        {"0x80 is already a lead byte",             "\x80" "a",      0, 2},
        {"0xFF is a lead byte too",                 "\xFF" "a",      0, 2},
        {"lead byte takes a CR along",              "\xB0\r\n",     0, 2},
        {"lead byte takes a NUL along",             Text("\xB0\0", 2), 0, 2},
        {"lead byte takes a star along",            "\xB0*",        0, 2},
        {"lead byte takes another lead byte along", "\xB0\xB0\xB0", 1, 3},
        {"last byte a lead byte: one past the end", "a\xB0",        1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(character_end(c.text, c.at), c.end);
    }
}

TEST(SplitByDelimiter, CutsAtCrLfOnCharacterBoundaries) {
    struct Case { const char* why; Text text; TextList members; };
    const Case cases[] = {
        {"empty text has no members",          "",                {}},
        {"no delimiter: one member",           "a",               {"a"}},
        {"one delimiter between two lines",    "a\r\nb",          {"a", "b"}},
        {"final CR LF adds no empty member",   "a\r\nb\r\n",      {"a", "b"}},
        {"lone CR LF is one empty member",     "\r\n",            {""}},
        {"two CR LF are two empty members",    "\r\n\r\n",        {"", ""}},
        {"leading CR LF gives an empty first", "\r\na",           {"", "a"}},
        {"blank line is an empty member",      "a\r\n\r\nb",      {"a", "", "b"}},
        {"blank last line survives",           "a\r\n\r\n",       {"a", ""}},
        {"lone CR and LF are ordinary bytes",  "a\rb\nc",         {"a\rb\nc"}},
        {"CR before CR LF stays in the line",  "a\r\r\n",         {"a\r"}},
        {"GBK character before CR LF",         "\xC4\xE3\r\nb",   {"\xC4\xE3", "b"}},
        {"lead byte swallows the CR",          "\xB0\r\nb",       {"\xB0\r\nb"}},
        {"lead byte as last byte ends scan",   "a\r\nb\xB0",      {"a", "b\xB0"}},
        {"incomplete delimiter kept at end",   "a\r",             {"a\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(split_by_delimiter(c.text, crlf), c.members);
    }
}

TEST(SplitByDelimiter, EmptyDelimiterGivesTheWholeText) {
    EXPECT_EQ(split_by_delimiter("a\r\nb", ""), TextList{"a\r\nb"});
    EXPECT_EQ(split_by_delimiter("", ""), TextList{});
}

TEST(FindFrom, MatchesOnlyAtCharacterStarts) {
    struct Case { const char* why; Text text; int start; int found; };
    const Case cases[] = {
        {"first star",                         "a*b*",           1, 2},
        {"position counts from the text start", "a*b*",          3, 4},
        {"no star",                            "abc",            1, -1},
        {"empty text",                         "",               1, -1},
        {"after a two-byte character",         "\xC4\xE3*",      1, 3},
        {"star as a second byte is no match",  "\xB0*",          1, -1},
        {"start 0 searches from the first",    "*a",             0, 1},
        {"negative start searches from first", "*a",            -5, 1},
        {"start past the end",                 "a*",             3, -1},
        {"start on the last byte",             "a*",             2, 2},
        {"lone lead byte at the end",          "a\xB0",          1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(find_from(c.text, "*", c.start), c.found);
    }
}

TEST(FindFrom, LongerPatternNeedsEnoughBytesLeft) {
    EXPECT_EQ(find_from("ab\r\n", "\r\n", 1), 3);
    EXPECT_EQ(find_from("ab\r", "\r\n", 1), -1);
    EXPECT_EQ(find_from("ab", "", 1), -1);
}

TEST(ReplaceSpan, ClampsPositionAndLength) {
    struct Case { const char* why; Text text; int position; int length; Text insertion; Text result; };
    const Case cases[] = {
        {"one star replaced",            "a*b", 2, 1, "xy", "axyb"},
        {"whole one-byte text removed",  "*",   1, 1, "",   ""},
        {"position 0 counts as 1",       "abc", 0, 1, "x",  "xbc"},
        {"negative position counts as 1", "abc", -3, 1, "x", "xbc"},
        {"position past the end appends", "abc", 9, 1, "x", "abcx"},
        {"length past the end cuts rest", "abc", 2, 50, "x", "ax"},
        {"negative length inserts only",  "abc", 2, -1, "x", "axbc"},
        {"works on bytes, not characters", "\xC4\xE3", 2, 1, "*", "\xC4*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(replace_span(c.text, c.position, c.length, c.insertion), c.result);
    }
}

TEST(JoinTexts, EmptyPartsAddNothing) {
    EXPECT_EQ(join_texts({"ab", "", "c"}), "abc");
    EXPECT_EQ(join_texts({"", "", ""}), "");
    EXPECT_EQ(join_texts({{}, "x", {}}), "x");
}
