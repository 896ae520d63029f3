#include "ui/link_label.h"

#include "ui/web_addresses.h"

namespace {
constexpr Colour navy{10, 36, 106};
constexpr Colour maroon{128, 0, 0};
constexpr Colour purple{128, 0, 128};
constexpr Colour steel_blue{0, 96, 192};
constexpr Colour sky_blue{0, 136, 255};

// A shell result or WinExec result above 32 means the program was started.
constexpr std::intptr_t highest_failure = 32;
}  // namespace

LinkLabelSpec link_label_spec(LinkLabelId label) {
    const WebAddresses& web = web_addresses();
    switch (label) {
    case LinkLabelId::超级链接框1:
        return {"本软件由Tessaryn 制作，本软件是免费共享软件！详情" + web.maker_home, web.maker_home,
                grey, navy, maroon};
    case LinkLabelId::超级链接框2: return {"Tessaryn", web.maker_data, steel_blue, maroon, sky_blue};
    case LinkLabelId::超级链接框3: return {web.quorvik_name, web.quorvik_data, steel_blue, purple, sky_blue};
    case LinkLabelId::超级链接框4: return {web.lumavale_name, web.lumavale_data, steel_blue, maroon, sky_blue};
    case LinkLabelId::超级链接框5: return {"软件官方", web.product_site, blue, navy, maroon};
    }
    return {};
}

Colour LinkLabelState::current_colour() const {
    if (hovered_) return spec_.hover;
    if (visited_) return spec_.visited;
    return spec_.normal;
}

MouseMoveResponse LinkLabelState::handle_mouse_move(bool inside_client) {
    if (!hovered_) {
        if (!inside_client) return {};
        hovered_ = true;
        return {CaptureChange::take, true};
    }
    if (inside_client) return {CaptureChange::take, false};
    hovered_ = false;
    return {CaptureChange::release, true};
}

bool LinkLabelState::handle_capture_lost() {
    if (!hovered_) return false;
    hovered_ = false;
    return true;
}

bool LinkLabelState::handle_press_outcome(bool opened) {
    visited_ = opened;
    return opened;
}

namespace {
// The registered command line without its placeholder: the quoted one is cut
// first, so its opening quote does not stay behind unmatched.
Text command_before_placeholder(const Text& command) {
    int at = find_from(command, "\"%1\"", 1);
    if (at < 0) at = find_from(command, "%1", 1);
    if (at < 0) return command;
    return command.substr(0, static_cast<std::size_t>(at) - 1);
}

bool open_with_htm_browser(const Text& target, LinkPlatform& platform) {
    const std::optional<Text> program_id = platform.read_class_default(".htm", class_value_buffer_size);
    if (!program_id) return false;
    const std::optional<Text> command =
        platform.read_class_default(*program_id + "\\shell\\open\\command", class_value_buffer_size);
    if (!command) return false;
    const Text command_line = command_before_placeholder(*command) + " " + target;
    // Running a command cut short could start something other than a browser.
    if (command_line.size() + 1 > command_line_buffer_size) return false;
    return platform.win_exec(command_line) > highest_failure;
}
}  // namespace

bool open_link(const Text& target, LinkPlatform& platform) {
    if (target.empty()) return false;
    if (platform.shell_open(target) > highest_failure) return true;
    return open_with_htm_browser(target, platform);
}
