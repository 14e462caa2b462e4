#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "options/command_line.h"
#include "options/launch_options.h"
#include "options/launcher_arguments.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

struct CommandLineCase {
    std::int16_t displayMode;
    std::string_view checks;  // the digits of Check1 to Check6
    bool changed;
    std::string_view expected;
};

// Sets the controls directly, with no listener, so the changed flag stays as the case says.
std::string commandLineFor(const CommandLineCase& c) {
    MemoryControls controls;
    LaunchOptions options(controls);
    controls.setListIndex(c.displayMode);
    for (std::size_t i = 0; i < c.checks.size(); ++i)
        controls.setCheckValue(checkBoxByNumber(static_cast<int>(i) + 1), c.checks[i] - '0');
    if (c.changed)
        options.markChanged();
    return gameCommandLine(options);
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, BuildsTheGamesSwitches) {
    EXPECT_EQ(commandLineFor(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{1, "010111", true, "vantu.exe -nc -d v1  -d noshadow -d saveme"},
        CommandLineCase{1, "011111", true, "vantu.exe -nc -d v1  -d saveme"},
        CommandLineCase{10, "101010", true,
                        "vantu.exe -nc -d v10  -d winmode -d noshaders -d nosprite -d noglow "
                        "-d saveme"},
        CommandLineCase{-1, "011111", true, "vantu.exe -nc -d saveme"},
        CommandLineCase{0, "011111", false, "vantu.exe -nc -d v0 "},
        // Nothing at all to say: the bare head.
        CommandLineCase{-1, "011111", false, "vantu.exe -nc"},
        // Greyed boxes add no switch in either sense.
        CommandLineCase{2, "222222", false, "vantu.exe -nc -d v2 "},
        // Every piece present: the longest lines (100 characters), two blanks after the mode.
        CommandLineCase{10, "100000", true,
                        "vantu.exe -nc -d v10  -d winmode -d noshaders -d noshadow -d nosprite "
                        "-d nocloud -d noglow -d saveme"},
        CommandLineCase{11, "100000", true,
                        "vantu.exe -nc -d v11  -d winmode -d noshaders -d noshadow -d nosprite "
                        "-d nocloud -d noglow -d saveme"},
        CommandLineCase{9, "001111", false, "vantu.exe -nc -d v9  -d noshaders"},
        CommandLineCase{5, "111111", false, "vantu.exe -nc -d v5  -d winmode"}));

struct SplitCase {
    std::string_view line;
    std::vector<std::string> args;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsLikeTheWindowsRuntime) {
    EXPECT_EQ(splitCommandLine(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitTest,
    ::testing::Values(SplitCase{"vantu.exe -nc -d v1  -d noshadow -d saveme",
                                {"vantu.exe", "-nc", "-d", "v1", "-d", "noshadow", "-d", "saveme"}},
                      SplitCase{"vantu.exe -nc -d v0 ", {"vantu.exe", "-nc", "-d", "v0"}},
                      SplitCase{"vantu.exe", {"vantu.exe"}}, SplitCase{"", {}},
                      SplitCase{"a\tb\t\tc", {"a", "b", "c"}},
                      // The program name keeps backslashes and drops quotes.
                      SplitCase{R"("C:\Games\My Game\vantu.exe" x)",
                                {R"(C:\Games\My Game\vantu.exe)", "x"}},
                      SplitCase{R"(C:\dir\prog.exe "a b" c)", {R"(C:\dir\prog.exe)", "a b", "c"}},
                      // Backslashes are literal unless they precede a quote.
                      SplitCase{R"(p a\\b a\"b a\\\"b "a\\" x)",
                                {"p", R"(a\\b)", R"(a"b)", R"(a\"b)", R"(a\)", "x"}},
                      // "" inside quotes is a literal quote; an unclosed quote runs to the end.
                      SplitCase{R"(p "a""b" "c d)", {"p", R"(a"b)", "c d"}},
                      SplitCase{R"(p "" x)", {"p", "", "x"}}));

// The launcher's own arguments: what each says, as "run FOLDER", "play FOLDER", "help",
// "version" or the error;
// a run also with what the toolkit is handed, its platform and its display. The launcher was
// started in /start.
struct ArgumentsCase {
    std::vector<std::string> args;
    const ToolkitOptions* toolkit;
    std::string expected;
};

std::string outcome(const LauncherArguments& a) {
    using enum LauncherArguments::Action;
    if (a.action != Run && a.action != Play)
        return a.action == Error ? "error: " + a.error : (a.action == Help ? "help" : "version");
    std::string said = (a.action == Play ? "play " : "run ") + a.folder;
    for (const std::string& arg : a.toolkitArguments)
        said += (&arg == &a.toolkitArguments.front() ? " | toolkit: " : " ") + arg;
    if (!a.platform.empty())
        said += " | platform " + a.platform;
    if (!a.display.empty())
        said += " | display " + a.display;
    return said;
}

class ArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(ArgumentsTest, SaysWhatTheLauncherDoes) {
    EXPECT_EQ(outcome(parseLauncherArguments(GetParam().args, *GetParam().toolkit, "/start")),
              GetParam().expected);
}

// A toolkit with options of each kind, named as Qt's.
using Value = ToolkitOption::Value;
using Kept = ToolkitOption::Kept;
constexpr std::array<ToolkitOption, 10> kSampleRows{{
    {"platform", Value::Next, false, Kept::Platform},
    {"display", Value::Next, false, Kept::Display},
    {"platformpluginpath", Value::Next, true},
    {"qwindowicon", Value::Next, true},
    {"icon", Value::Next, true},
    {"reverse", Value::None},
    {"style", Value::NextOrAttached},
    {"stylesheet", Value::NextOrAttached, true},
    {"title", Value::Next},
    {"session", Value::NextOrAttached},
}};
const ToolkitOptions kQt{kSampleRows, "Toolkit options are passed on.\n"};
const ToolkitOptions& kNone = kNoToolkitOptions;

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArgumentsTest,
    ::testing::Values(
        ArgumentsCase{{}, &kQt, "run "}, ArgumentsCase{{"../My Game"}, &kQt, "run ../My Game"},
        ArgumentsCase{{"--help"}, &kQt, "help"}, ArgumentsCase{{"-h"}, &kNone, "help"},
        ArgumentsCase{{"--version", "--bogus"}, &kQt, "version"},
        ArgumentsCase{{"--bogus", "--help"}, &kQt, "error: unknown option '--bogus'"},
        ArgumentsCase{{"-"}, &kQt, "error: unknown option '-'"},
        // Qt's options, with their values, are handed to Qt alone, whatever the folder's place;
        // the last platform and display count.
        ArgumentsCase{{"-platform", "xcb", "game", "--style", "fusion", "-reverse", "-platform",
                       "wayland;XCB", "--display", ":7"},
                      &kQt,
                      "run game | toolkit: -platform xcb --style fusion -reverse -platform "
                      "wayland;XCB --display :7 | platform wayland;XCB | display :7"},
        ArgumentsCase{
            {"-style=fusion", "-title", "-x"}, &kQt, "run  | toolkit: -style=fusion -title -x"},
        // Paths are read from the start folder, not from the game folder entered before Qt
        // reads them.
        ArgumentsCase{
            {"-stylesheet", "look.qss", "--stylesheet=../b.qss", "-qwindowicon", "/abs/i.png",
             "-icon", "i.png", "-platformpluginpath", "plugins", "game"},
            &kQt,
            "run game | toolkit: -stylesheet /start/look.qss --stylesheet=/start/../b.qss "
            "-qwindowicon /abs/i.png -icon /start/i.png -platformpluginpath "
            "/start/plugins"},
        ArgumentsCase{{"-style"}, &kQt, "error: the option '-style' needs a value"},
        ArgumentsCase{{"-platform=xcb"}, &kQt, "error: unknown option '-platform=xcb'"},
        ArgumentsCase{{"-style", "fusion"}, &kNone, "error: unknown option '-style'"},
        // "--" ends the options: a folder may begin with a dash, and it is no toolkit option.
        ArgumentsCase{{"--", "-reverse"}, &kQt, "run -reverse"},
        ArgumentsCase{{"--", "--help"}, &kNone, "run --help"},
        ArgumentsCase{{"a", "b"}, &kQt, "error: more than one game folder: 'a' and 'b'"},
        ArgumentsCase{{""}, &kNone, "error: the game folder's name is empty"},
        // --play, before or after the folder; Qt's options are still read (and then unused),
        // so that a Steam line that has them plays as well; help wins, and errors stay errors.
        ArgumentsCase{{"--play"}, &kNone, "play "},
        ArgumentsCase{{"../My Game", "--play"}, &kNone, "play ../My Game"},
        ArgumentsCase{
            {"--play", "-style", "fusion", "game"}, &kQt, "play game | toolkit: -style fusion"},
        ArgumentsCase{{"--play", "--help"}, &kNone, "help"},
        ArgumentsCase{{"--play", "-style", "fusion"}, &kNone, "error: unknown option '-style'"},
        ArgumentsCase{{"--play=1"}, &kNone, "error: unknown option '--play=1'"},
        ArgumentsCase{{"--", "--play"}, &kNone, "run --play"}));

// What the arguments lead to, the same on every system: what the front end is asked to tell,
// which folder it enters, and the exit status when the launcher ends there.
struct RecordingMedium : ArgumentsMedium {
    void inform(const std::string& text) override { told += "inform: " + text; }
    void complain(const std::string& problem, const std::string& usage) override {
        told += "complain: " + problem + (usage.empty() ? "" : " + usage");
    }
    std::string_view systemUsage() const override { return "About this system.\n"; }
    std::optional<std::string> enterFolder(const std::string& folder) override {
        told += "enter: " + folder;
        if (folder == "missing")
            return "No such file or directory";
        return std::nullopt;
    }
    std::string told;
};

struct PolicyCase {
    std::vector<std::string> args;
    std::optional<int> status;
    std::string told;
};

class ArgumentsPolicyTest : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(ArgumentsPolicyTest, EndsWithTheSameStatusOnEverySystem) {
    RecordingMedium medium;
    LauncherArguments arguments;
    const auto status = takeLauncherArguments(GetParam().args, kNone, "/start", medium, arguments);
    EXPECT_EQ(status, GetParam().status);
    EXPECT_EQ(medium.told, GetParam().told);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ArgumentsPolicyTest,
    ::testing::Values(
        PolicyCase{
            {"--help"}, 0, "inform: " + launcherUsage(kNoToolkitOptions) + "About this system.\n"},
        PolicyCase{{"--version"}, 0, "inform: " + launcherVersion()},
        PolicyCase{{"--no-such-option"}, 2, "complain: unknown option '--no-such-option' + usage"},
        PolicyCase{{"missing"},
                   2,
                   "enter: missingcomplain: cannot enter the game folder 'missing': "
                   "No such file or directory"},
        PolicyCase{{"game", "--play"}, std::nullopt, "enter: game"},
        PolicyCase{{}, std::nullopt, ""}));

TEST(LauncherUsage, AddsTheToolkitsLine) {
    EXPECT_EQ(launcherUsage(kQt), launcherUsage(kNone) + "Toolkit options are passed on.\n");
}

}  // namespace
}  // namespace vantu::testing
