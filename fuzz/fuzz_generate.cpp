// The generate command wired as the program wires it: a window of three boxes
// whose changes are saved at once, over files in memory. Texts are built from
// the input in two ways: free bytes, and a few pieces repeated to a line count
// near the limits, so both sides of every limit are reached.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "expand/generate.h"
#include "fuzz/memory_disk.h"
#include "fuzz/plain_rules.h"
#include "store/category_store.h"
#include "store/category_table.h"
#include "tests/fake_window.h"
#include "tests/plain_expansion.h"
#include "ui/event_handlers.h"

namespace {
void check(bool holds) {
    if (!holds) std::abort();
}

std::string without_wildcards(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '*'), text.end());
    return text;
}

// A data file's bytes. Near the limit only the first lines are pieces with
// wildcards, the rest wildcard-free fillers: the plain method scans the whole
// block once per wildcard and must stay quick.
std::string file_text(FuzzedDataProvider& input, int limit) {
    const uint8_t shape = input.ConsumeIntegral<uint8_t>();
    std::string text;
    if ((shape & 3) == 0) {
        text = input.ConsumeRandomLengthString(96);
    } else {
        const int count = (shape & 3) == 1 ? input.ConsumeIntegralInRange(0, 12)
                                            : limit - 3 + input.ConsumeIntegralInRange(0, 6);
        std::vector<std::string> pieces(1 + input.ConsumeIntegralInRange(0, 3));
        for (std::string& piece : pieces) piece = input.ConsumeRandomLengthString(8);
        const std::string filler = without_wildcards(input.ConsumeRandomLengthString(8));
        for (int i = 0; i < count; ++i) {
            if (i) text += "\r\n";
            text += i < 8 ? pieces[static_cast<std::size_t>(i) % pieces.size()] : filler;
        }
    }
    if (shape & 4) text += "\r\n";
    // Bytes after an end-of-text mark belong to the file, not to the box.
    if (shape & 8) text += (shape & 16 ? '\x1A' : '\0') + input.ConsumeRandomLengthString(8);
    return text;
}

bool has_wildcard(const std::string& seed) { return plain::find_at_character(seed, "*") != std::string::npos; }

// The plain method, one block per distinct seed: a block depends only on its
// seed and the statements, and repeated seeds are what reaches the limit.
std::string plain_result(const std::string& statements, const std::vector<std::string>& seeds) {
    const std::string banner = banner_line();
    std::map<std::string, std::string> blocks;
    std::string result = banner;
    for (const std::string& seed : seeds) {
        auto found = blocks.find(seed);
        if (found == blocks.end())
            found = blocks.emplace(seed, plain_expand_statements(statements, {seed}).substr(banner.size())).first;
        result += found->second;
    }
    return result;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int category = input.ConsumeIntegralInRange(1, category_count);
    const CategoryRow& row = category_row(category);
    MemoryDisk disk;
    disk.files[row.seed_path] = file_text(input, seed_limit);
    disk.files[row.statement_path] = file_text(input, statement_limit);
    disk.files[row.result_path] = input.ConsumeRandomLengthString(16);

    FakeWindow window;
    CategoryStore store(disk, window);
    EventHandlers events(store, window);
    window.on_change = [&](BoxKind kind) { events.handle_box_change(kind); };
    events.handle_window_created();
    events.handle_category_click(category);

    const std::string seed_text = disk.files[row.seed_path].substr(0, plain::data_text_length(disk.files[row.seed_path]));
    const std::string statements =
        disk.files[row.statement_path].substr(0, plain::data_text_length(disk.files[row.statement_path]));
    const std::string old_result =
        disk.files[row.result_path].substr(0, plain::data_text_length(disk.files[row.result_path]));
    check(window.boxes[BoxKind::seed] == seed_text);
    check(window.boxes[BoxKind::statement] == statements);
    check(window.boxes[BoxKind::result] == old_result);

    const std::map<Text, Text> files_before = disk.files;
    const std::size_t writes_before = disk.writes.size();
    const std::size_t sets_before = window.sets.size();
    check(window.warnings.empty());

    events.handle_generate_click();

    const std::vector<std::string> seeds = plain::lines(seed_text);
    const std::size_t statement_lines = plain::lines(statements).size();
    const bool too_many_seeds = seeds.size() > static_cast<std::size_t>(seed_limit);
    if (too_many_seeds || statement_lines > static_cast<std::size_t>(statement_limit)) {
        check(window.warnings.size() == 1);
        check(window.warnings[0].first == (too_many_seeds ? seed_warning : statement_warning));
        check(window.warnings[0].second == warning_title);
        check(window.sets.size() == sets_before);
        check(disk.writes.size() == writes_before);
        check(window.boxes[BoxKind::result] == old_result);
        return 0;
    }
    check(window.warnings.empty());
    check(window.sets.size() == sets_before + 2);
    check(window.sets[sets_before].first == BoxKind::result && window.sets[sets_before].second.empty());
    check(window.sets[sets_before + 1].first == BoxKind::result);
    const Text& shown = window.sets[sets_before + 1].second;
    check(window.boxes[BoxKind::result] == shown);
    // Each setting saved the result file; nothing else was written.
    check(disk.writes.size() == writes_before + 2);
    check(disk.writes[writes_before] == std::make_pair(Text(row.result_path), Text()));
    check(disk.writes[writes_before + 1] == std::make_pair(Text(row.result_path), shown));
    std::map<Text, Text> files_after = files_before;
    files_after[row.result_path] = shown;
    check(disk.files == files_after);

    bool plain_ends = true;
    for (const std::string& seed : seeds) plain_ends = plain_ends && !has_wildcard(seed);
    if (plain_ends) check(shown == plain_result(statements, seeds));
    return 0;
}
