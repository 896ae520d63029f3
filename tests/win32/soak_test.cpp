// A random user against a model. The real program runs under Wine and is
// driven through long seeded sequences of what users do: typing, deleting and
// pasting in the three boxes, choosing categories, generating within and
// beyond the limits, closing and starting again, and, from outside, changing,
// deleting, write-protecting and holding its data files. After every action
// the thirty data files, the three boxes and the result must equal a model
// built from the storage and event rules alone: what the program ought to have
// done, not what its code does.
//
//   soak_test <keyword_expander.exe> [--seed N] [--seconds S] [--steps K] [--verbose] [--list]
//
// The seed is printed first; a failure prints the shortest prefix of actions
// that fails again from a fresh copy, and the command line that replays it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "expand/generate.h"
#include "fuzz/plain_rules.h"
#include "tests/plain_expansion.h"
#include "tests/win32/driver_win32.h"
#include "ui/control_ids.h"

namespace {

constexpr int file_count = 30;  // ten categories, three kinds each
// An action that takes longer than this is a hang: two minutes, and a minute
// more for every megabyte in the boxes, since Wine's rich edit takes its time
// to replace megabytes of text on a machine shared with other work.
DWORD action_bound_ms = 120000;
const int box_ids[3] = {id_种子编辑框, id_通用编辑框, id_合成编辑框};
const char* const box_names[3] = {"seed", "statement", "result"};

int file_index(int category, int kind) { return (category - 1) * 3 + kind; }
std::string file_name(int index) {
    static const char* const prefixes[3] = {"tag", "ty", "gjc"};
    return prefixes[index % 3] + std::to_string(index / 3 + 1) + ".txt";
}

// ---------------------------------------------------------------- actions

enum class Kind {
    type, erase, paste, select, generate, close,  // with the program running
    start, write, remove, protect, unprotect,     // with the program closed
    hold, release,                                // either
};

struct Action {
    Kind kind;
    int box = 0;        // type, erase, paste
    int category = 0;   // select: 1 to 10, or 0 for the current one
    int file = 0;       // write, remove, protect, unprotect, hold, release
    unsigned from = 0;  // where the selection starts and ends, scaled onto the
    unsigned to = 0;    // box's characters when the action runs
    bool backwards = false;            // erase: Backspace rather than Delete
    std::vector<std::string> keys;     // type: one character or Enter each
    std::string text;                  // paste, write

    std::string describe() const {
        auto quoted = [](const std::string& s) {
            std::string out;
            for (unsigned char c : s.substr(0, 40)) {
                if (c == '\r') out += "\\r";
                else if (c == '\n') out += "\\n";
                else if (c < 0x20 || c == 0x7F) { char hex[8]; std::snprintf(hex, sizeof hex, "\\x%02X", c); out += hex; }
                else out += static_cast<char>(c);
            }
            return "\"" + out + (s.size() > 40 ? "...\" (" + std::to_string(s.size()) + " bytes)" : "\"");
        };
        const std::string sel = " at " + std::to_string(from) + ".." + std::to_string(to);
        switch (kind) {
        case Kind::type: {
            std::string typed;
            for (const std::string& key : keys) typed += key;
            return std::string("type into ") + box_names[box] + sel + " " + quoted(typed);
        }
        case Kind::erase: return std::string(backwards ? "backspace in " : "delete in ") + box_names[box] + sel;
        case Kind::paste: return std::string("paste over all of ") + box_names[box] + " " + quoted(text);
        case Kind::select: return category ? "select category " + std::to_string(category) : "select the current category";
        case Kind::generate: return "generate";
        case Kind::close: return "close the window";
        case Kind::start: return "start the program";
        case Kind::write: return "write " + file_name(file) + " " + quoted(text);
        case Kind::remove: return "delete " + file_name(file);
        case Kind::protect: return "make " + file_name(file) + " read-only";
        case Kind::unprotect: return "make " + file_name(file) + " writable";
        case Kind::hold: return "hold " + file_name(file) + " open without sharing";
        case Kind::release: return "release " + file_name(file);
        }
        return "?";
    }
};

// What users type and paste: ASCII, two-byte GBK characters and line ends.
// Seeds never hold "*": what a seed with a wildcard gives is the program's own
// choice, not a rule the model could follow.
class TextMaker {
public:
    explicit TextMaker(std::mt19937_64& rng) : rng_(rng) {}

    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    std::string character(bool wildcards) {
        static const char* const gbk[] = {"北", "京", "上", "海", "关", "键", "词", "旅", "游", "价", "格", "的", "好", "手", "机"};
        static const char ascii[] = "abcdefghijklmnopqrstuvwxyz0123456789 -.?";
        if (wildcards && chance(15)) return "*";
        if (chance(30)) return gbk[below(static_cast<int>(sizeof gbk / sizeof gbk[0]))];
        return std::string(1, ascii[below(static_cast<int>(sizeof ascii - 1))]);
    }
    std::string line(bool wildcards, int longest) {
        std::string text;
        for (int n = below(longest + 1); n > 0; --n) text += character(wildcards);
        return text;
    }
    // Mostly a few lines; sometimes about as many as a limit allows, so that
    // generating meets both sides of it.
    std::string lines(bool wildcards, int limit) {
        int count = 1 + below(12);
        if (chance(30)) count = limit - 4 + below(9);
        else if (chance(10)) count = 30 + below(120);
        std::string text;
        for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + line(wildcards, limit > 300 ? 6 : 10);
        if (chance(30)) text += "\r\n";
        return text;
    }

private:
    std::mt19937_64& rng_;
};

// Wine's rich edit reads a paste in pieces of 2048 characters and turns a CR
// LF cut by a piece boundary into two line ends, which no rule of the program
// could account for; pasted texts keep their line ends off that spot.
std::string keep_line_ends_whole(std::string text) {
    constexpr std::size_t piece = 2048;
    for (;;) {
        std::size_t wide = 0, at = 0, cut_at = std::string::npos;
        while (at < text.size() && cut_at == std::string::npos) {
            if (text[at] == '\r' && wide % piece == piece - 1 && text.compare(at, 2, "\r\n") == 0) cut_at = at;
            at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
            ++wide;
        }
        if (cut_at == std::string::npos) return text;
        text.insert(cut_at, "x");
    }
}

// The actions depend only on the seed and on whether the program is running,
// which the actions themselves decide; the rest is read off the model when an
// action runs, so a prefix replays the same.
class ActionMaker {
public:
    explicit ActionMaker(unsigned long long seed) : rng_(seed), texts_(rng_) {}

    Action next() {
        Action a{};
        const int roll = texts_.below(100);
        if (running_) {
            if (roll < 34) a.kind = Kind::type;
            else if (roll < 48) a.kind = Kind::erase;
            else if (roll < 56) a.kind = Kind::paste;
            else if (roll < 71) a.kind = Kind::select;
            else if (roll < 85) a.kind = Kind::generate;
            else if (roll < 93) a.kind = texts_.chance(50) ? Kind::hold : Kind::release;
            else a.kind = Kind::close;
        } else {
            if (roll < 30) a.kind = Kind::write;
            else if (roll < 42) a.kind = Kind::remove;
            else if (roll < 54) a.kind = Kind::protect;
            else if (roll < 64) a.kind = Kind::unprotect;
            else if (roll < 74) a.kind = texts_.chance(50) ? Kind::hold : Kind::release;
            else a.kind = Kind::start;
        }
        a.box = texts_.below(3);
        a.category = texts_.chance(25) ? 0 : 1 + texts_.below(10);
        a.file = texts_.below(file_count);
        a.from = static_cast<unsigned>(rng_());
        a.to = texts_.chance(50) ? a.from : static_cast<unsigned>(rng_());
        a.backwards = texts_.chance(50);
        // Most work happens in category 1, where the program starts.
        if (texts_.chance(40)) a.file = file_index(1, a.file % 3);
        const bool wildcards = a.box != 0;
        if (a.kind == Kind::type)
            for (int n = 1 + texts_.below(8); n > 0; --n) a.keys.push_back(texts_.chance(12) ? "\r\n" : texts_.character(wildcards));
        if (a.kind == Kind::paste)
            a.text = keep_line_ends_whole(texts_.lines(wildcards, a.box == 1 ? statement_limit : seed_limit));
        if (a.kind == Kind::write) {
            const int kind = a.file % 3;
            a.text = texts_.chance(10) ? std::string() : texts_.lines(kind != 0, kind == 1 ? statement_limit : seed_limit);
            // What follows an end-of-text mark is in the file but never in a box.
            if (texts_.chance(20)) {
                // SUB; NUL; a lead byte before NUL, which goes with the cut.
                const int mark = texts_.below(3);
                a.text += mark == 0 ? std::string("\x1A") : mark == 1 ? std::string(1, '\0') : std::string("\xB0\0", 2);
                a.text += texts_.line(true, 12) + "\r\n\x1A\xFF";
            }
        }
        if (a.kind == Kind::close) running_ = false;
        if (a.kind == Kind::start) running_ = true;
        return a;
    }

private:
    std::mt19937_64 rng_;
    TextMaker texts_;
    bool running_ = true;  // each run begins with the program started
};

// ---------------------------------------------------------------- the model

// The rules the program must keep, written from how the storage and the
// window events are described: a load never rewrites a file it could open; a
// file it cannot open shows as empty and is saved empty at once, which creates
// a missing file and leaves a read-only or held one alone; every change of a
// box saves that box's file of the current category; a refused generate
// changes nothing.
struct DataFile {
    bool exists = false;
    std::string bytes;
    bool read_only = false;
    bool held = false;
};

struct Model {
    DataFile files[file_count];
    bool running = false;
    int category = 1;
    std::string boxes[3];

    bool openable(int f) const { return files[f].exists && !files[f].read_only && !files[f].held; }
    void save(int kind, const std::string& text) {
        DataFile& file = files[file_index(category, kind)];
        if (file.read_only || file.held) return;
        file.exists = true;
        file.bytes = text;
    }
    void load(int n) {
        category = n;
        for (int kind = 0; kind < 3; ++kind) {
            const int f = file_index(n, kind);
            if (openable(f)) {
                boxes[kind] = files[f].bytes.substr(0, plain::data_text_length(files[f].bytes));
            } else {
                boxes[kind].clear();
                save(kind, "");
            }
        }
    }
};

// The result by the rules: the banner, then per seed the statements with every
// "*" at a character start replaced by the seed, and CR LF. Seeds here end on
// whole characters, so a seed never takes a byte of the statements along.
std::string expected_result(const std::string& seed_text, const std::string& statements) {
    std::string result = banner_line();
    const std::vector<plain::Character> characters = plain::characters(statements);
    const std::vector<std::string> seeds = plain::lines(seed_text);
    for (const std::string& seed : seeds) {
        for (const plain::Character& c : characters) {
            if (c.length == 1 && statements[c.start] == '*') result += seed;
            else result.append(statements, c.start, c.length);
        }
        result += "\r\n";
    }
    // The plain method itself, where it is quick enough to run.
    std::size_t wildcards = 0;
    for (const plain::Character& c : characters) wildcards += c.length == 1 && statements[c.start] == '*';
    if (seeds.size() * (wildcards + 1) * (statements.size() + 1) < 20000000 &&
        plain_expand_statements(statements, seeds) != result) {
        std::fprintf(stderr, "the rules and the plain method disagree on this input\n");
        std::abort();
    }
    return result;
}

// Byte offsets of the box's character boundaries: the rich edit counts a line
// end and a two-byte character as one position each.
std::vector<std::size_t> boundaries(const std::string& text) {
    std::vector<std::size_t> at{0};
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "\r\n") == 0) i += 2;
        else if (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size()) i += 2;
        else i += 1;
        at.push_back(i);
    }
    return at;
}

// ---------------------------------------------------------------- the run

struct Failure {
    std::size_t step;  // 0-based index of the action after which a check failed
    std::string what;
};

std::string escaped(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '\\') { out += static_cast<char>(c); continue; }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    }
    return out;
}

std::string first_difference(const std::string& expected, const std::string& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const std::size_t from = at > 16 ? at - 16 : 0;
    return "expected " + std::to_string(expected.size()) + " bytes, found " + std::to_string(actual.size()) +
           ", first difference at byte " + std::to_string(at) + ": expected \"" + escaped(expected.substr(from, 40)) +
           "\", found \"" + escaped(actual.substr(from, 40)) + "\"";
}

// Sends and waits at most the action bound; false means no answer in time.
bool send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0, DWORD_PTR* answer = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, w, l, SMTO_NORMAL, action_bound_ms, answer ? answer : &ignored) != 0;
}

struct SendJob {
    HWND window;
    UINT message;
};
DWORD WINAPI send_in_thread(void* data) {
    auto* job = static_cast<SendJob*>(data);
    send(job->window, job->message);
    return 0;
}

// A window of the test's own, to own what it puts on the clipboard.
HWND clipboard_owner() {
    static HWND owner = CreateWindowExA(0, "STATIC", "soak clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return owner;
}

bool put_on_clipboard(const std::string& text) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(clipboard_owner())) {
            EmptyClipboard();
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
            std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            const bool put = SetClipboardData(CF_TEXT, memory) != nullptr;
            CloseClipboard();
            return put;
        }
        Sleep(20);
    }
    return false;
}

std::string read_through(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    return bytes;
}

// A box's text as WM_GETTEXT gives it across processes. Its answer counts
// characters where a text holds two-byte ones, so the text ends at its NUL;
// and a buffer too small gets nothing, so an empty answer counts only when the
// box has one empty line. The first buffer is sized for the expected text.
std::optional<std::string> box_text(HWND box, std::size_t expected_size) {
    for (std::size_t size = std::max<std::size_t>(4096, expected_size * 2 + 16);; size *= 4) {
        std::string text(size, '\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(box, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                                 action_bound_ms, &copied))
            return std::nullopt;
        text.resize(std::strlen(text.c_str()));
        if (text.empty()) {
            DWORD_PTR lines = 0, length = 0;
            if (!send(box, EM_GETLINECOUNT, 0, 0, &lines) || !send(box, EM_LINELENGTH, 0, 0, &length))
                return std::nullopt;
            if (lines == 1 && length == 0) return text;
            if (size >= (std::size_t(1) << 28)) return std::nullopt;
            continue;
        }
        if (text.size() + 2 < size) return text;
    }
}

struct Counts {
    std::size_t actions = 0, starts = 0, generates = 0, refused = 0, pastes = 0, pastes_left_out = 0;
};

class Soak {
public:
    Soak(const std::vector<Action>& actions, bool verbose) : actions_(actions), verbose_(verbose) {}
    ~Soak() { release_all(); }

    // Runs the first `count` actions on a fresh copy, or fewer if the deadline
    // (a GetTickCount value, 0 for none) passes first; the first failed check.
    std::optional<Failure> run(std::size_t count, DWORD deadline = 0) {
        copy_ = std::make_unique<ProgramCopy>();
        model_ = Model{};
        std::optional<Failure> failure;
        if (auto problem = start()) failure = Failure{0, "the first start: " + *problem};
        for (std::size_t i = 0; !failure && i < count && !(deadline && static_cast<LONG>(GetTickCount() - deadline) >= 0); ++i) {
            if (verbose_) std::printf("%6zu %s\n", i + 1, actions_[i].describe().c_str());
            action_bound_ms = 120000 + static_cast<DWORD>(
                (model_.boxes[0].size() + model_.boxes[1].size() + model_.boxes[2].size()) * 60 / 1000);
            const std::string held_before = " (the boxes held " + std::to_string(model_.boxes[0].size()) + ", " +
                                            std::to_string(model_.boxes[1].size()) + " and " +
                                            std::to_string(model_.boxes[2].size()) + " bytes before it)";
            if (auto problem = perform(actions_[i])) failure = Failure{i, *problem + held_before};
            else if (auto mismatch = check()) failure = Failure{i, *mismatch};
            ++counts.actions;
        }
        program_.reset();
        release_all();
        copy_.reset();
        return failure;
    }

    Counts counts;

private:
    std::optional<std::string> start() {
        program_ = std::make_unique<RunningProgram>(*copy_);
        if (!program_->window(action_bound_ms)) return std::string("the window did not come up");
        model_.running = true;
        for (std::string& box : model_.boxes) box.clear();
        model_.load(1);
        ++counts.starts;
        return std::nullopt;
    }

    HWND box(int kind) { return program_->control(box_ids[kind]); }

    // Puts the selection where the action says, in whole characters; the
    // byte span it covers in the model's text of the box.
    std::pair<std::size_t, std::size_t> select(const Action& a, bool& sent) {
        const std::vector<std::size_t> at = boundaries(model_.boxes[a.box]);
        std::size_t from = a.from % at.size(), to = a.to % at.size();
        if (from > to) std::swap(from, to);
        // Wine's rich edit does not finish replacing some hundred kilobytes in
        // minutes either: a selection above 32 KB shrinks to its start.
        if (at[to] - at[from] > 32768) to = from;
        sent = send(box(a.box), EM_SETSEL, from, to);
        return {at[from], at[to]};
    }

    std::optional<std::string> perform(const Action& a) {
        switch (a.kind) {
        case Kind::type: {
            bool sent = false;
            const auto [from, to] = select(a, sent);
            std::string typed;
            for (const std::string& key : a.keys) {
                // Enter is its key; an ASCII character is a WM_CHAR. Wine's ANSI
                // rich edit turns each byte of a WM_CHAR into a character of its
                // own, so a two-byte character goes in as the input method's
                // text does, replacing the selection.
                DWORD_PTR ignored = 0;
                if (key == "\r\n")
                    sent = sent && send(box(a.box), WM_KEYDOWN, VK_RETURN, 0x001C0001) &&
                           send(box(a.box), WM_KEYUP, VK_RETURN, 0xC01C0001);
                else if (key.size() == 1)
                    sent = sent && send(box(a.box), WM_CHAR, static_cast<unsigned char>(key[0]), 1);
                else
                    sent = sent && SendMessageTimeoutA(box(a.box), EM_REPLACESEL, TRUE,
                                                       reinterpret_cast<LPARAM>(key.c_str()), SMTO_NORMAL,
                                                       action_bound_ms, &ignored) != 0;
                typed += key;
            }
            if (!sent) return std::string("typing got no answer in time");
            std::string& text = model_.boxes[a.box];
            text = text.substr(0, from) + typed + text.substr(to);
            model_.save(a.box, text);
            return std::nullopt;
        }
        case Kind::erase: {
            bool sent = false;
            auto [from, to] = select(a, sent);
            std::string& text = model_.boxes[a.box];
            const std::vector<std::size_t> at = boundaries(text);
            if (from == to) {  // one character before or after the caret, if any
                const std::size_t i = static_cast<std::size_t>(std::find(at.begin(), at.end(), from) - at.begin());
                if (a.backwards && i > 0) from = at[i - 1];
                if (!a.backwards && i + 1 < at.size()) to = at[i + 1];
            }
            // Wine's rich edit reports a change for a key that erases nothing, and
            // the program then saves the unchanged box; Windows reports none. Which
            // one happens is the platform's, so such a key is not pressed.
            if (from == to) return sent ? std::nullopt : std::optional<std::string>("selecting got no answer in time");
            const WPARAM key = a.backwards ? VK_BACK : VK_DELETE;
            const LPARAM scan = a.backwards ? 0x000E0001 : 0x01530001;
            sent = sent && send(box(a.box), WM_KEYDOWN, key, scan) && send(box(a.box), WM_KEYUP, key, scan | 0xC0000000);
            if (!sent) return std::string("erasing got no answer in time");
            text = text.substr(0, from) + text.substr(to);
            model_.save(a.box, text);
            return std::nullopt;
        }
        case Kind::paste: {
            // Wine's rich edit in plain-text mode replaces the whole text on a
            // paste, wherever the selection is; so the paste replaces it all,
            // which means the same on Windows. Typing covers the middle.
            // Wine's rich edit takes minutes, or never answers, to paste over a
            // box of some hundred kilobytes (a result near the limits): such a
            // paste is left out, and counted.
            if (model_.boxes[a.box].size() > 32768) {
                ++counts.pastes_left_out;
                return std::nullopt;
            }
            if (!put_on_clipboard(a.text)) return std::string("the clipboard could not be set");
            if (!(send(box(a.box), EM_SETSEL, 0, -1) && send(box(a.box), WM_PASTE)))
                return std::string("pasting got no answer in time");
            model_.boxes[a.box] = a.text;
            model_.save(a.box, a.text);
            ++counts.pastes;
            return std::nullopt;
        }
        case Kind::select: {
            const int n = a.category ? a.category : model_.category;
            if (!send(program_->control(id_单选框1 + n - 1), BM_CLICK)) return std::string("the click got no answer in time");
            model_.load(n);
            return std::nullopt;
        }
        case Kind::generate: return generate();
        case Kind::close: {
            PostMessageA(program_->window(), WM_CLOSE, 0, 0);
            DWORD code = 1;
            if (!program_->wait_for_exit(action_bound_ms, &code)) return std::string("the program did not end");
            if (code != 0) return "the program ended with exit code " + std::to_string(code);
            program_.reset();
            model_.running = false;
            return std::nullopt;
        }
        case Kind::start: return start();
        case Kind::write: {
            DataFile& file = model_.files[a.file];
            if (file.held) return std::nullopt;  // another program holds it: no writer gets in
            const std::string path = copy_->data(file_name(a.file));
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            write_file_bytes(path, a.text);
            file = DataFile{true, a.text, false, false};
            return std::nullopt;
        }
        case Kind::remove: {
            DataFile& file = model_.files[a.file];
            if (file.held || !file.exists) return std::nullopt;
            const std::string path = copy_->data(file_name(a.file));
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(path.c_str())) return "could not delete " + file_name(a.file);
            file = DataFile{};
            return std::nullopt;
        }
        case Kind::protect:
        case Kind::unprotect: {
            DataFile& file = model_.files[a.file];
            if (file.held || !file.exists) return std::nullopt;
            const bool protect = a.kind == Kind::protect;
            const std::string path = copy_->data(file_name(a.file));
            if (!SetFileAttributesA(path.c_str(), protect ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL))
                return "could not change the attributes of " + file_name(a.file);
            file.read_only = protect;
            return std::nullopt;
        }
        case Kind::hold: {
            DataFile& file = model_.files[a.file];
            if (file.held || !file.exists) return std::nullopt;
            const std::string path = copy_->data(file_name(a.file));
            HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE)
                return "could not hold " + file_name(a.file) + " (error " + std::to_string(GetLastError()) + ")";
            held_[a.file] = handle;
            file.held = true;
            return std::nullopt;
        }
        case Kind::release: {
            DataFile& file = model_.files[a.file];
            if (!file.held) return std::nullopt;
            CloseHandle(held_[a.file]);
            held_[a.file] = nullptr;
            file.held = false;
            return std::nullopt;
        }
        }
        return std::string("unknown action");
    }

    std::optional<std::string> generate() {
        ++counts.generates;
        const std::vector<std::string> seeds = plain::lines(model_.boxes[0]);
        const std::size_t statement_lines = plain::lines(model_.boxes[1]).size();
        const Text* warning = seeds.size() > static_cast<std::size_t>(seed_limit) ? &seed_warning
                              : statement_lines > static_cast<std::size_t>(statement_limit) ? &statement_warning
                                                                                           : nullptr;
        // The click runs to its end inside the send, but a warning holds it there
        // until it is dismissed: the send waits in a thread of its own.
        SendJob job{program_->control(id_生成关键词按钮), BM_CLICK};
        HANDLE sender = CreateThread(nullptr, 0, send_in_thread, &job, 0, nullptr);
        HWND box_shown = nullptr;
        const bool ended = wait_until(
            [&] {
                box_shown = program_->wait_for_box(warning_title, 0);
                return box_shown || WaitForSingleObject(sender, 0) == WAIT_OBJECT_0;
            },
            action_bound_ms);
        std::optional<std::string> problem;
        if (!ended) {
            problem = "generating got no answer in time";
        } else if (box_shown) {
            const std::string message = program_->box_text(box_shown);
            program_->close_box(box_shown);
            if (!warning) problem = "a warning within the limits: " + message;
            else if (message != *warning) problem = "the wrong warning: " + message;
        } else if (warning) {
            problem = "no warning beyond the limits (" + std::to_string(seeds.size()) + " seeds, " +
                      std::to_string(statement_lines) + " statement lines)";
        }
        if (WaitForSingleObject(sender, action_bound_ms) != WAIT_OBJECT_0 && !problem)
            problem = "the click did not end after the warning";
        CloseHandle(sender);
        if (problem) return problem;
        if (warning) {
            ++counts.refused;
            if (!wait_until([&] { return IsWindowEnabled(program_->window()) != FALSE; }, action_bound_ms))
                return std::string("the window stayed disabled after the warning");
            return std::nullopt;
        }
        model_.boxes[2] = expected_result(model_.boxes[0], model_.boxes[1]);
        model_.save(2, model_.boxes[2]);
        return std::nullopt;
    }

    std::optional<std::string> check() {
        if (model_.running) {
            DWORD code = 0;
            if (program_->wait_for_exit(0, &code)) return "the program ended by itself, exit code " + std::to_string(code);
            // Everything sent or posted so far has been handled.
            if (!send(program_->window(), WM_NULL)) return std::string("the program does not answer");
            for (int kind = 0; kind < 3; ++kind) {
                const std::optional<std::string> read = box_text(box(kind), model_.boxes[kind].size());
                if (!read) return std::string("the ") + box_names[kind] + " box could not be read";
                const std::string& shown = *read;
                if (shown != model_.boxes[kind]) {
                    const std::string name = file_name(file_index(model_.category, kind));
                    const std::string path = copy_->data(name);
                    return std::string("the ") + box_names[kind] + " box: " + first_difference(model_.boxes[kind], shown) +
                           " (" + name + " holds " + std::to_string(file_size(path)) + " bytes, attributes " +
                           std::to_string(GetFileAttributesA(path.c_str())) + ")";
                }
            }
            DWORD_PTR checked = 0;
            send(program_->control(id_单选框1 + model_.category - 1), BM_GETCHECK, 0, 0, &checked);
            if (checked != BST_CHECKED) return "the radio button of category " + std::to_string(model_.category) + " is not checked";
        }
        for (int f = 0; f < file_count; ++f) {
            const DataFile& expected = model_.files[f];
            const std::string path = copy_->data(file_name(f));
            const DWORD attributes = GetFileAttributesA(path.c_str());
            if (!expected.exists) {
                if (attributes != INVALID_FILE_ATTRIBUTES) return file_name(f) + " exists";
                continue;
            }
            if (attributes == INVALID_FILE_ATTRIBUTES) return file_name(f) + " is missing";
            if (((attributes & FILE_ATTRIBUTE_READONLY) != 0) != expected.read_only)
                return file_name(f) + (expected.read_only ? " lost its read-only attribute" : " became read-only");
            const std::string bytes = expected.held ? read_through(held_[f]) : read_file_bytes(path);
            if (bytes != expected.bytes) return file_name(f) + ": " + first_difference(expected.bytes, bytes);
        }
        // A save leaves nothing else behind in the data folder.
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((copy_->folder() + "\\data\\*").c_str(), &found);
        std::string stray;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                bool known = name == "." || name == "..";
                for (int f = 0; f < file_count && !known; ++f) known = lstrcmpiA(name.c_str(), file_name(f).c_str()) == 0;
                if (!known) stray = name;
            } while (stray.empty() && FindNextFileA(search, &found));
            FindClose(search);
        }
        if (!stray.empty()) return "a stray file in data: " + stray;
        return std::nullopt;
    }

    void release_all() {
        for (HANDLE& handle : held_)
            if (handle) CloseHandle(std::exchange(handle, nullptr));
    }

    const std::vector<Action>& actions_;
    bool verbose_;
    std::unique_ptr<ProgramCopy> copy_;
    std::unique_ptr<RunningProgram> program_;
    Model model_;
    HANDLE held_[file_count] = {};
};

// The shortest prefix that fails again from a fresh copy. Checks run after
// every action, so the prefix up to the failure is the candidate; a failure
// that depends on timing may come earlier or not at all, so shorter prefixes
// are tried by halving while the replays stay within the budget.
void report_shortest_prefix(const std::vector<Action>& actions, std::size_t failed_step, unsigned long long seed,
                            DWORD budget_ms) {
    const DWORD start = GetTickCount();
    std::size_t passing = 0, failing = 0;
    {
        Soak replay(actions, false);
        const std::optional<Failure> again = replay.run(failed_step + 1);
        if (!again) {
            std::printf("replaying the first %zu actions from a fresh copy passed: the failure depends on timing\n",
                        failed_step + 1);
            return;
        }
        failing = again->step + 1;
        std::printf("replay failed after action %zu: %s\n", failing, again->what.c_str());
    }
    while (passing + 1 < failing && GetTickCount() - start < budget_ms) {
        const std::size_t middle = passing + (failing - passing) / 2;
        Soak replay(actions, false);
        const std::optional<Failure> again = replay.run(middle);
        if (again) failing = again->step + 1;
        else passing = middle;
    }
    std::printf("shortest failing prefix: %zu actions%s (replay with --seed %llu --steps %zu)\n", failing,
                passing + 1 < failing ? " (search cut short by its time budget)" : "", seed, failing);
    const std::size_t shown_from = failing > 60 ? failing - 60 : 0;
    if (shown_from) std::printf("  ... %zu earlier actions\n", shown_from);
    for (std::size_t i = shown_from; i < failing; ++i) std::printf("%6zu %s\n", i + 1, actions[i].describe().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak_test <path of keyword_expander.exe> [--seed N] [--seconds S] [--steps K] [--verbose] [--list]\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    unsigned long long seed = (static_cast<unsigned long long>(GetTickCount()) << 20) ^ GetCurrentProcessId();
    double seconds = 60;
    std::size_t steps = 0;  // 0: as many as the time allows
    bool verbose = false;
    bool list = false;  // only print the actions
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
        else if (arg == "--steps" && i + 1 < argc) steps = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--verbose") verbose = true;
        else if (arg == "--list") list = true;
    }
    std::printf("soak seed %llu\n", seed);
    std::fflush(stdout);

    // The actions are made before the run, so a replay meets the same ones.
    ActionMaker maker(seed);
    std::vector<Action> actions;
    const std::size_t planned = steps ? steps : 200000;
    for (std::size_t i = 0; i < planned; ++i) actions.push_back(maker.next());

    if (list) {
        for (std::size_t i = 0; i < planned; ++i) std::printf("%6zu %s\n", i + 1, actions[i].describe().c_str());
        return 0;
    }
    const DWORD start = GetTickCount();
    Soak soak(actions, verbose);
    const std::optional<Failure> failure =
        soak.run(planned, steps ? 0 : start + static_cast<DWORD>(seconds * 1000));
    const double elapsed = (GetTickCount() - start) / 1000.0;
    std::printf("%zu actions in %.0f s: %zu starts, %zu pastes (%zu over a big box left out), %zu generates (%zu refused "
                "by a limit)\n",
                soak.counts.actions, elapsed, soak.counts.starts, soak.counts.pastes, soak.counts.pastes_left_out,
                soak.counts.generates, soak.counts.refused);
    if (!failure) return 0;
    std::printf("FAILED after action %zu (%s): %s\n", failure->step + 1, actions[failure->step].describe().c_str(),
                failure->what.c_str());
    std::fflush(stdout);
    report_shortest_prefix(actions, failure->step, seed, std::max<DWORD>(120000, static_cast<DWORD>(elapsed * 2000)));
    return 1;
}
