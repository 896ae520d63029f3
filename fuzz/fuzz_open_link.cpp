// The link fallback with registry values of any length and content, around
// the 260-byte buffers they are read into and the 520-byte buffer the command
// line is built in. The registry stand-in copies a value into a buffer of
// exactly the size asked for and the run stand-in copies the command line into
// 520 bytes, so the sanitizer sees any write past them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/plain_rules.h"
#include "ui/link_label.h"

namespace {
void check(bool holds) {
    if (!holds) std::abort();
}

// A registry value as stored: its bytes, and whether a closing NUL is part of
// what is stored (a value written without one comes back unterminated).
struct StoredValue {
    std::string bytes;
    bool with_nul = true;
};

class FuzzPlatform final : public LinkPlatform {
public:
    std::intptr_t shell_result = 0;
    unsigned exec_result = 0;
    std::map<std::string, StoredValue> classes;
    std::vector<std::string> shell_targets;
    std::vector<std::string> commands_run;

    std::intptr_t shell_open(const Text& target) override {
        shell_targets.push_back(target);
        return shell_result;
    }
    std::optional<Text> read_class_default(const Text& key, std::size_t buffer_size) override {
        check(buffer_size == class_value_buffer_size);
        const auto found = classes.find(key);
        if (found == classes.end()) return std::nullopt;
        const StoredValue& value = found->second;
        const std::size_t stored = value.bytes.size() + (value.with_nul ? 1 : 0);
        if (stored > buffer_size) return std::nullopt;  // the registry's "more data"
        std::unique_ptr<char[]> buffer(new char[buffer_size]);
        std::memcpy(buffer.get(), value.bytes.c_str(), stored);
        const void* nul = std::memchr(buffer.get(), '\0', stored);
        const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.get()) : stored;
        if (length >= buffer_size) return std::nullopt;
        return Text(buffer.get(), length);
    }
    unsigned win_exec(const Text& command_line) override {
        std::unique_ptr<char[]> buffer(new char[command_line_buffer_size]);
        std::memcpy(buffer.get(), command_line.c_str(), command_line.size() + 1);
        commands_run.emplace_back(buffer.get(), command_line.size());
        return exec_result;
    }
};

// Lengths cluster around the buffer edges, where the faults would be.
std::string value_bytes(FuzzedDataProvider& input) {
    static const std::size_t edges[] = {0, 1, 2, 255, 258, 259, 260, 261, 262, 400, 515, 518, 519, 520, 521, 600};
    const uint8_t shape = input.ConsumeIntegral<uint8_t>();
    std::string bytes = input.ConsumeRandomLengthString(64);
    if (shape & 1) {
        const long edge = static_cast<long>(edges[(shape >> 1) % (sizeof edges / sizeof edges[0])]);
        const std::size_t length = static_cast<std::size_t>(std::max(0L, edge + input.ConsumeIntegralInRange(-2L, 2L)));
        const char fill = input.ConsumeIntegral<char>();
        if (bytes.size() < length) bytes.append(length - bytes.size(), fill);
        bytes.resize(length);
    }
    return bytes;
}

// The registry's text of a stored value: up to its first NUL, or nothing when
// that does not fit the 260-byte buffer with a NUL after it.
std::optional<std::string> plain_read(const StoredValue& value) {
    const std::string text = value.bytes.substr(0, value.bytes.find('\0'));
    const std::size_t stored = value.bytes.size() + (value.with_nul ? 1 : 0);
    if (stored > class_value_buffer_size || text.size() + 1 > class_value_buffer_size) return std::nullopt;
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzPlatform platform;
    platform.shell_result = input.ConsumeIntegralInRange<std::intptr_t>(-1, 40);
    platform.exec_result = input.ConsumeIntegralInRange<unsigned>(0, 40);
    const uint8_t present = input.ConsumeIntegral<uint8_t>();
    const StoredValue program_id{value_bytes(input), (present & 4) != 0};
    const StoredValue command{value_bytes(input), (present & 8) != 0};
    std::string target = value_bytes(input);
    if (present & 16) target = target.substr(0, target.find('\0'));  // addresses are texts
    if (present & 1) platform.classes[".htm"] = program_id;
    const std::optional<std::string> id_text = (present & 1) ? plain_read(program_id) : std::nullopt;
    if (present & 2) {
        // Mostly under the key that the program id names, so the command is reached.
        const std::string key = (id_text ? *id_text : std::string()) + "\\shell\\open\\command";
        platform.classes[present & 32 ? input.ConsumeRandomLengthString(16) : key] = command;
    }

    const bool opened = open_link(target, platform);

    // The rule: the shell first; then, if it failed, the command registered for
    // the program of ".htm", cut before its placeholder, a blank and the target.
    std::optional<std::string> expected_run;
    bool expected_open = false;
    if (target.empty()) {
        check(platform.shell_targets.empty());
    } else {
        check(platform.shell_targets == std::vector<std::string>{target});
        if (platform.shell_result > 32) {
            expected_open = true;
        } else if (id_text) {
            const auto found = platform.classes.find(*id_text + "\\shell\\open\\command");
            const std::optional<std::string> line =
                found == platform.classes.end() ? std::nullopt : plain_read(found->second);
            if (line) {
                std::size_t at = plain::find_at_character(*line, "\"%1\"");
                if (at == std::string::npos) at = plain::find_at_character(*line, "%1");
                const std::string finished = line->substr(0, at) + " " + target;
                if (finished.size() + 1 <= command_line_buffer_size) {
                    expected_run = finished;
                    expected_open = platform.exec_result > 32;
                }
            }
        }
    }
    check(opened == expected_open);
    check(platform.commands_run.size() == (expected_run ? 1u : 0u));
    if (expected_run) check(platform.commands_run[0] == *expected_run);
    return 0;
}
