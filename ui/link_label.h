#pragma once
// A hyperlink label draws its text in one of three colours by its state and
// opens its web address when the left button is pressed on it. Everything
// here is portable; ui/link_label_win32.cpp only turns messages into these calls.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "expand/text.h"
#include "ui/colour.h"

struct LinkLabelSpec {
    Text caption;  // when empty the address is drawn instead
    Text address;
    Colour normal;
    Colour hover;
    Colour visited;
    Colour background = panel_colour;
};

enum class LinkLabelId { 超级链接框1, 超级链接框2, 超级链接框3, 超级链接框4, 超级链接框5 };
LinkLabelSpec link_label_spec(LinkLabelId label);

enum class CaptureChange { none, take, release };
struct MouseMoveResponse {
    CaptureChange capture = CaptureChange::none;
    bool repaint = false;
};

class LinkLabelState {
public:
    explicit LinkLabelState(LinkLabelSpec spec) : spec_(std::move(spec)) {}
    const Text& address() const { return spec_.address; }
    const Text& drawn_text() const { return spec_.caption.empty() ? spec_.address : spec_.caption; }
    Colour background() const { return spec_.background; }
    Colour current_colour() const;
    bool hovered() const { return hovered_; }
    bool visited() const { return visited_; }

    // The label holds the mouse capture while hovered, so that it hears of the
    // pointer leaving: a child window gets no mouse message once the pointer is
    // over another window.
    MouseMoveResponse handle_mouse_move(bool inside_client);
    // Another window took the capture: without it the label would never learn
    // that the pointer left. Returns whether to repaint.
    bool handle_capture_lost();
    // The press's outcome becomes the visited flag. Returns whether to repaint at
    // once; a failed press shows the normal colour only at the next repaint.
    bool handle_press_outcome(bool opened);

private:
    LinkLabelSpec spec_;
    bool hovered_ = false;
    bool visited_ = false;
};

// The fallback's fixed buffers: the registered program id and command line are
// each read into 260 bytes, the finished command line is built in 520.
inline constexpr std::size_t class_value_buffer_size = 260;
inline constexpr std::size_t command_line_buffer_size = 520;

// What opening a web address needs of the system.
class LinkPlatform {
public:
    virtual ~LinkPlatform() = default;
    // The shell's "open" of the target, shown normally; above 32 is success.
    virtual std::intptr_t shell_open(const Text& target) = 0;
    // The default value of HKEY_CLASSES_ROOT\key read into buffer_size bytes:
    // nothing when the key cannot be opened or the value with its closing NUL
    // does not fit.
    virtual std::optional<Text> read_class_default(const Text& key, std::size_t buffer_size) = 0;
    // Runs the command line shown normally; above 32 is success.
    virtual unsigned win_exec(const Text& command_line) = 0;
};

// Hands the address to the user's browser: the shell first, then the program
// registered for ".htm". Returns whether a program accepted it.
bool open_link(const Text& target, LinkPlatform& platform);
