#include "expand/generate.h"

#include <cstring>
#include <optional>
#include <string_view>

// Short enough that 超级链接框1 shows its whole caption, which ends in it.
const Text maker_address = "http://tsr.example";
const Text warning_title = "压力超载提示！";
const Text seed_warning =
    "种子关键词内容 建议不要操过200行\r\n\r\n否则处理压力会很大\r\n\r\n"
    "如果你确实需要很多\r\n\r\n那可以分做在其它分类中！";
const Text statement_warning =
    "通配语句内容 建议不要操过800行\r\n\r\n否则处理压力会很大\r\n\r\n"
    "如果你确实需要很多\r\n\r\n那可以分做在其它分类中！";

Text banner_line() {
    return join_texts({"================Tessaryn 免费共享====================我们的网址是：",
                       maker_address,
                       "  我们提供程序开发、网站制作、自助建站系统等相关服务！\r\n"});
}

namespace {

// True when a scan of the seed alone ends on a lead byte with nothing after
// it: inside the statement text that byte takes the next byte along.
bool seed_swallows_next_byte(std::string_view seed) {
    std::size_t at = 0;
    while (at < seed.size()) at = character_end(seed, at);
    return at > seed.size();
}

// The statement text cut at the wildcards that a scan finds: a seed goes
// between every two pieces. How the scan steps after a wildcard depends on
// whether the seed swallows the next byte, so there is one template for each.
struct Piece {
    std::size_t offset;
    std::size_t length;
};
struct StatementTemplate {
    std::vector<Piece> pieces;
    std::size_t piece_bytes = 0;
};

StatementTemplate compile_template(std::string_view text, bool swallow_after_wildcard) {
    StatementTemplate t;
    std::size_t piece_start = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '*') {
            t.pieces.push_back({piece_start, at - piece_start});
            at += 1;
            piece_start = at;
            if (swallow_after_wildcard && at < text.size()) at += 1;
        } else {
            at = character_end(text, at);
        }
    }
    t.pieces.push_back({piece_start, text.size() - piece_start});
    t.piece_bytes = text.size() - (t.pieces.size() - 1);
    return t;
}

// Pieces and seeds are mostly a few bytes long, and the output is millions of
// them. Copying a fixed 16 bytes is one load and one store, so every source
// and the output carry that much slack and short copies overrun into it.
constexpr std::size_t slack = 16;
constexpr char line_end[slack] = "\r\n";

Text padded(std::string_view bytes) {
    Text text;
    text.reserve(bytes.size() + slack);
    text.append(bytes);
    text.append(slack, '\0');
    return text;
}

inline char* put(char* out, const char* source, std::size_t length) {
    if (length <= slack)
        std::memcpy(out, source, slack);
    else
        std::memcpy(out, source, length);
    return out + length;
}

}  // namespace

Text expand_statements(const Text& statements, const TextList& seeds) {
    const StatementTemplate plain = compile_template(statements, false);
    std::optional<StatementTemplate> swallowing;
    auto template_for = [&](const Text& seed) -> const StatementTemplate& {
        if (!seed_swallows_next_byte(seed)) return plain;
        if (!swallowing) swallowing = compile_template(statements, true);
        return *swallowing;
    };

    const Text banner = banner_line();
    std::size_t total = banner.size();
    for (const Text& seed : seeds) {
        const StatementTemplate& t = template_for(seed);
        total += t.piece_bytes + (t.pieces.size() - 1) * seed.size() + crlf.size();
    }
    const Text source = padded(statements);
    Text result(total + slack, '\0');
    char* out = result.data();
    out = put(out, banner.data(), banner.size());
    for (const Text& seed_text : seeds) {
        const Text seed = padded(seed_text);
        const std::size_t seed_length = seed_text.size();
        const StatementTemplate& t = template_for(seed_text);
        out = put(out, source.data() + t.pieces[0].offset, t.pieces[0].length);
        for (std::size_t i = 1; i < t.pieces.size(); ++i) {
            out = put(out, seed.data(), seed_length);
            out = put(out, source.data() + t.pieces[i].offset, t.pieces[i].length);
        }
        out = put(out, line_end, 2);
    }
    result.resize(total);
    return result;
}

void generate_keywords(WindowOps& window) {
    const TextList seeds = split_by_delimiter(window.read_box_text(BoxKind::seed), crlf);
    // The statement box cannot change during the run, so it is read once: its
    // lines are counted here and its whole text is expanded below.
    const Text statements = window.read_box_text(BoxKind::statement);
    const std::size_t statement_lines = split_by_delimiter(statements, crlf).size();

    if (seeds.size() > seed_limit) {
        window.show_warning(seed_warning, warning_title);
        return;
    }
    if (statement_lines > statement_limit) {
        window.show_warning(statement_warning, warning_title);
        return;
    }
    window.set_box_text(BoxKind::result, Text());
    window.set_box_text(BoxKind::result, expand_statements(statements, seeds));
}
