#include <gtest/gtest.h>

#include <random>

#include "expand/generate.h"
#include "tests/fake_window.h"
#include "tests/plain_expansion.h"
#include "tests/text_lines.h"

namespace {

Text generate(const Text& seeds, const Text& statements) {
    FakeWindow window;
    window.boxes[BoxKind::seed] = seeds;
    window.boxes[BoxKind::statement] = statements;
    window.boxes[BoxKind::result] = "old";
    generate_keywords(window);
    return window.boxes[BoxKind::result];
}

}  // namespace

TEST(BannerLine, IsTheThreePiecesInGbk) {
    const Text banner = banner_line();
    EXPECT_EQ(banner.rfind("================Tessaryn \xC3\xE2\xB7\xD1\xB9\xB2\xCF\xED", 0), 0u)
        << "16 equals signs, brand, one space, 免费共享 in GBK";
    EXPECT_NE(banner.find("====================\xCE\xD2\xC3\xC7\xB5\xC4\xCD\xF8\xD6\xB7\xCA\xC7\xA3\xBA" + maker_address + "  "),
              Text::npos);
    EXPECT_EQ(banner.substr(banner.size() - 2), "\r\n");
    EXPECT_EQ(split_by_delimiter(banner, crlf).size(), 1u);
}

TEST(GenerateKeywords, WorkedExamples) {
    struct Case { const char* why; Text seeds; Text statements; Text blocks; };
    const Case cases[] = {
        {"final CR LF of the seeds adds no seed", "red\r\nblue\r\n", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"blank seed line is an empty seed", "red\r\n\r\nblue", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\n shoes\r\ncheap  shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"statements ending in CR LF give a blank line", "red", "* shoes\r\n", "red shoes\r\n\r\n"},
        {"one CR LF is one empty seed", "\r\n", "a*b*c", "abc\r\n"},
        {"empty seed box gives the banner alone", "", "* shoes", ""},
        {"empty statements give one CR LF per seed", "a\r\nb\r\nc", "", "\r\n\r\n\r\n"},
        {"every star of a line", "x", "*-*-*", "x-x-x\r\n"},
        {"no star repeats the block", "a\r\nb", "plain", "plain\r\nplain\r\n"},
        {"GBK and spaces inserted byte for byte", " \xC4\xE3 ", "[*]", "[ \xC4\xE3 ]\r\n"},
        {"star hidden as a second byte stays", "x", "\xB0*", "\xB0*\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(generate(c.seeds, c.statements), banner_line() + c.blocks);
    }
}

TEST(GenerateKeywords, LimitsWarnInOrderAndChangeNothing) {
    struct Case { const char* why; int seeds; bool final_crlf; int statements; const Text* warning; };
    const Case cases[] = {
        {"201 seeds: seed warning only",        201, false, 900, &seed_warning},
        {"200 seeds and 801 lines",             200, false, 801, &statement_warning},
        {"200 seeds and 800 lines run",         200, false, 800, nullptr},
        {"final CR LF keeps 200 seeds",         200, true,  1,   nullptr},
        {"201 seeds with final CR LF",          201, true,  1,   &seed_warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FakeWindow window;
        window.boxes[BoxKind::seed] = lines(c.seeds, "k") + (c.final_crlf ? "\r\n" : "");
        window.boxes[BoxKind::statement] = lines(c.statements, "*");
        window.boxes[BoxKind::result] = "kept";
        generate_keywords(window);
        if (c.warning) {
            ASSERT_EQ(window.warnings.size(), 1u);
            EXPECT_EQ(window.warnings[0].first, *c.warning);
            EXPECT_EQ(window.warnings[0].second, warning_title);
            EXPECT_TRUE(window.sets.empty());
            EXPECT_EQ(window.boxes[BoxKind::result], "kept");
        } else {
            EXPECT_TRUE(window.warnings.empty());
            ASSERT_EQ(window.sets.size(), 2u);
        }
    }
}

TEST(GenerateKeywords, WarningTextsAreTheGbkBytes) {
    EXPECT_EQ(warning_title, "\xD1\xB9\xC1\xA6\xB3\xAC\xD4\xD8\xCC\xE1\xCA\xBE\xA3\xA1");
    EXPECT_EQ(seed_warning.substr(0, 10), "\xD6\xD6\xD7\xD3\xB9\xD8\xBC\xFC\xB4\xCA");
    EXPECT_NE(statement_warning.find("800"), Text::npos);
    EXPECT_EQ(split_by_delimiter(seed_warning, crlf).size(), 7u);
}

TEST(GenerateKeywords, EmptiesTheResultBoxThenSetsIt) {
    FakeWindow window;
    window.boxes[BoxKind::result] = "previous";
    generate_keywords(window);
    ASSERT_EQ(window.sets.size(), 2u);
    EXPECT_EQ(window.sets[0], std::make_pair(BoxKind::result, Text()));
    EXPECT_EQ(window.sets[1], std::make_pair(BoxKind::result, banner_line()));
}

TEST(ExpandStatements, SeedHoldingAStarEndsWithoutSearchingIt) {
    EXPECT_EQ(expand_statements("a*b*c", {"*"}), banner_line() + "a*b*c\r\n");
    EXPECT_EQ(expand_statements("**", {"x*y"}), banner_line() + "x*yx*y\r\n");
}

TEST(ExpandStatements, SeedEndingOnALeadByteTakesTheNextByteAlong) {
    // The plain rescan reads the seed's last lead byte and the byte after the
    // replaced star as one character: a star right after is hidden, and the
    // alignment of the rest shifts.
    struct Case { const char* why; Text statements; Text seed; };
    const Case cases[] = {
        {"star right after is hidden",           "**",           "\xB0"},
        {"shift reveals a star after a lead",    "*\xB0**",        "\xB0"},
        {"seed at the very end",                 "ab*",          "x\xC4"},
        {"two-byte seed does not swallow",       "**",           "\xC4\xE3"},
        {"lead byte before a CR LF",             "*\r\n*",       "\xB0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(expand_statements(c.statements, {c.seed}), plain_expand_statements(c.statements, {c.seed}));
    }
}

TEST(ExpandStatements, AgreesWithThePlainMethodOnRandomInput) {
    std::mt19937 random(20261211);
    const char alphabet[] = {'*', '*', 'a', ' ', '\r', '\n', '\r', '\n', '\xB0', '\xC4', '\xE3', '\x80', '\xFF'};
    auto random_text = [&](int max_length) {
        Text text(random() % (max_length + 1), ' ');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const Text statements = random_text(24);
        TextList seeds = split_by_delimiter(random_text(16), crlf);
        if (round % 4 == 0) seeds.push_back("");
        TextList usable;
        for (const Text& seed : seeds)
            if (plain_method_ends(seed)) usable.push_back(seed);
        ASSERT_EQ(expand_statements(statements, usable), plain_expand_statements(statements, usable))
            << "round " << round;
    }
}
