#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "expand/generate.h"
#include "ui/link_label.h"
#include "ui/web_addresses.h"

namespace {

constexpr Colour normal{1, 1, 1};
constexpr Colour hover{2, 2, 2};
constexpr Colour visited{3, 3, 3};

LinkLabelState make_label() { return LinkLabelState({"caption", "http://a.example/", normal, hover, visited}); }

// What the label does with the capture and the paint, one pointer move after another.
struct Move {
    bool inside;
    CaptureChange capture;
    bool repaint;
};

TEST(LinkLabelHover, HoldsTheCaptureWhileOverTheLabelAndLetsGoOnLeaving) {
    using C = CaptureChange;
    struct Case {
        const char* why;
        std::vector<Move> moves;
        bool hovered_after;
    };
    const Case cases[] = {
        {"entering hovers, repaints and captures so the leaving is heard", {{true, C::take, true}}, true},
        {"moving on inside keeps (or takes back) the capture without repainting",
         {{true, C::take, true}, {true, C::take, false}, {true, C::take, false}}, true},
        {"leaving lets go of the capture and repaints",
         {{true, C::take, true}, {false, C::release, true}}, false},
        {"a move outside while not hovered does nothing", {{false, C::none, false}}, false},
        {"only the first move outside lets go",
         {{true, C::take, true}, {false, C::release, true}, {false, C::none, false}}, false},
        {"coming back hovers again", {{true, C::take, true}, {false, C::release, true}, {true, C::take, true}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        LinkLabelState label = make_label();
        for (const Move& m : c.moves) {
            const MouseMoveResponse r = label.handle_mouse_move(m.inside);
            EXPECT_EQ(r.capture, m.capture);
            EXPECT_EQ(r.repaint, m.repaint);
        }
        EXPECT_EQ(label.hovered(), c.hovered_after);
    }
}

TEST(LinkLabelHover, LosingTheCaptureEndsTheHover) {
    // Without its capture the label hears nothing more of the pointer, so a kept
    // hover would stay drawn after the pointer has gone.
    LinkLabelState label = make_label();
    EXPECT_FALSE(label.handle_capture_lost());
    label.handle_mouse_move(true);
    EXPECT_TRUE(label.handle_capture_lost());
    EXPECT_FALSE(label.hovered());
    EXPECT_EQ(label.current_colour(), normal);
}

TEST(LinkLabelColour, HoverOutranksVisitedAndAFailedPressForgetsTheVisit) {
    LinkLabelState label = make_label();
    EXPECT_EQ(label.current_colour(), normal);
    label.handle_mouse_move(true);
    EXPECT_TRUE(label.handle_press_outcome(true)) << "a successful press repaints at once";
    EXPECT_EQ(label.current_colour(), hover) << "still under the pointer";
    label.handle_mouse_move(false);
    EXPECT_EQ(label.current_colour(), visited);
    label.handle_mouse_move(true);
    EXPECT_FALSE(label.handle_press_outcome(false)) << "a failed press waits for the next repaint";
    label.handle_mouse_move(false);
    EXPECT_EQ(label.current_colour(), normal);
}

TEST(LinkLabelText, AnEmptyCaptionShowsTheAddress) {
    EXPECT_EQ(make_label().drawn_text(), "caption");
    EXPECT_EQ(LinkLabelState({"", "http://b.example/", normal, hover, visited}).drawn_text(), "http://b.example/");
}

TEST(LinkLabelTable, TheMakerLabelShowsTheAddressItOpensAndEveryAddressIsHttp) {
    const LinkLabelSpec maker = link_label_spec(LinkLabelId::超级链接框1);
    const Text lead = "本软件由Tessaryn 制作，本软件是免费共享软件！详情";
    EXPECT_EQ(maker.caption, lead + maker.address);
    EXPECT_EQ(maker.address, maker_address + "/");
    EXPECT_EQ(link_label_spec(LinkLabelId::超级链接框2).address, maker_address + "/data/");
    EXPECT_EQ(web_addresses().web_strip_page, maker_address + "/seo/gjc.html");
    for (LinkLabelId id : {LinkLabelId::超级链接框1, LinkLabelId::超级链接框2, LinkLabelId::超级链接框3,
                           LinkLabelId::超级链接框4, LinkLabelId::超级链接框5}) {
        const LinkLabelSpec spec = link_label_spec(id);
        SCOPED_TRACE(spec.address);
        EXPECT_EQ(spec.address.rfind("http://", 0), 0u);
        EXPECT_FALSE(spec.caption.empty());
        EXPECT_EQ(spec.background, panel_colour);
    }
}

// Stands in for the shell, the registry and WinExec, and records the calls.
class FakePlatform final : public LinkPlatform {
public:
    std::intptr_t shell_result = 2;  // ERROR_FILE_NOT_FOUND: no handler for the address
    unsigned exec_result = 33;
    std::map<Text, Text> classes;  // HKEY_CLASSES_ROOT: key -> default value
    std::vector<Text> shell_targets;
    std::vector<Text> commands_run;

    std::intptr_t shell_open(const Text& target) override {
        shell_targets.push_back(target);
        return shell_result;
    }
    // Like the registry: a value that does not fit with its NUL is not handed out.
    std::optional<Text> read_class_default(const Text& key, std::size_t buffer_size) override {
        const auto found = classes.find(key);
        if (found == classes.end() || found->second.size() + 1 > buffer_size) return std::nullopt;
        return found->second;
    }
    unsigned win_exec(const Text& command_line) override {
        commands_run.push_back(command_line);
        return exec_result;
    }
};

TEST(OpenLink, TheShellFirstThenTheProgramRegisteredForHtm) {
    const Text target = "http://a.example/";
    const Text long_id(259, 'p');  // with its NUL exactly the 260-byte buffer
    const Text exe = "\"C:\\b\\browser.exe\"";
    struct Case {
        const char* why;
        std::intptr_t shell_result;
        std::map<Text, Text> classes;
        unsigned exec_result;
        bool opened;
        std::vector<Text> commands_run;
    };
    const Case cases[] = {
        {"the shell's success ends it", 42, {{".htm", "htmlfile"}}, 33, true, {}},
        {"32 is still a shell failure: the quoted placeholder is cut off", 32,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", exe + " \"%1\""}}, 33, true,
         {exe + "  " + target}},
        {"a bare placeholder is cut off", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "C:\\b.exe %1"}}, 33, true,
         {"C:\\b.exe  " + target}},
        {"the quoted placeholder is looked for before the bare one", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "b.exe -a %1 \"%1\" x"}}, 33, true,
         {"b.exe -a %1  " + target}},
        {"no placeholder: the whole command line", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", exe + " -nohome"}}, 33, true,
         {exe + " -nohome " + target}},
        {"a lead byte takes the % after it along", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "b\xB0%1 %1"}}, 33, true,
         {"b\xB0%1  " + target}},
        {"WinExec failing is a failure", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "b.exe %1"}}, 32, false,
         {"b.exe  " + target}},
        {"nothing registered for .htm", 2, {}, 33, false, {}},
        {"no command for the program id", 2, {{".htm", "htmlfile"}}, 33, false, {}},
        {"a 259-byte program id fits", 2, {{".htm", long_id}, {long_id + "\\shell\\open\\command", "b.exe"}},
         33, true, {"b.exe " + target}},
        {"a 260-byte program id does not fit", 2,
         {{".htm", long_id + "p"}, {long_id + "p\\shell\\open\\command", "b.exe"}}, 33, false, {}},
        {"a 259-byte command fits", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", Text(259, 'c')}}, 33, true,
         {Text(259, 'c') + " " + target}},
        {"a 260-byte command does not fit", 2,
         {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", Text(260, 'c')}}, 33, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FakePlatform platform;
        platform.shell_result = c.shell_result;
        platform.classes = c.classes;
        platform.exec_result = c.exec_result;
        EXPECT_EQ(open_link(target, platform), c.opened);
        EXPECT_EQ(platform.shell_targets, std::vector<Text>{target});
        EXPECT_EQ(platform.commands_run, c.commands_run);
    }
}

TEST(OpenLink, AFinishedCommandLineMustFitIn520BytesOrNothingRuns) {
    // The command and the target each fit on their own; only together they
    // overflow the buffer the command line is built in.
    struct Case {
        const char* why;
        std::size_t target_size;
        bool opened;
    };
    const Text command = Text(250, 'c');
    const Case cases[] = {
        {"519 bytes and the NUL fill the buffer", 519 - 251, true},
        {"520 bytes would leave no room for the NUL", 520 - 251, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FakePlatform platform;
        platform.classes = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", command + "\"%1\""}};
        const Text target = "http://" + Text(c.target_size - 7, 't');
        EXPECT_EQ(open_link(target, platform), c.opened);
        if (c.opened) {
            ASSERT_EQ(platform.commands_run.size(), 1u);
            EXPECT_EQ(platform.commands_run[0].size(), 519u);
        } else {
            EXPECT_TRUE(platform.commands_run.empty());
        }
    }
}

TEST(OpenLink, AnEmptyAddressOpensNothing) {
    FakePlatform platform;
    platform.shell_result = 42;
    EXPECT_FALSE(open_link("", platform));
    EXPECT_TRUE(platform.shell_targets.empty());
}

}  // namespace
