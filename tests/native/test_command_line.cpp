#include <gtest/gtest.h>

#include <string>

#include "windows/command_line.h"

namespace {

constexpr WindowHandle Foreground = 0x4242;
constexpr WindowHandle PreviewChild = 0x7777;
int PreviewLookups = 0;

WindowHandle FakeForeground() { return Foreground; }
WindowHandle FakePreviewHost() {
    ++PreviewLookups;
    return PreviewChild;
}

ParsedCommandLine Parse(const std::string& line) {
    return ParseCommandLine(line.c_str(), CommandLineHooks{FakeForeground, FakePreviewHost});
}

void ExpectParse(const std::string& line, std::int32_t mode, WindowHandle parent) {
    const ParsedCommandLine r = Parse(line);
    EXPECT_EQ(r.Mode, mode) << "command line: [" << line << "]";
    EXPECT_EQ(r.Parent, parent) << "command line: [" << line << "]";
}

}  // namespace

TEST(CommandLine, TableOfSwitches) {
    ExpectParse("saver.scr", RunModeConfigure, 0);
    ExpectParse("saver.scr    ", RunModeConfigure, 0);
    for (const char* s : {"saver.scr /s", "saver.scr -s", "saver.scr s", "saver.scr /S 1234"})
        ExpectParse(s, RunModeSaver, 0);
    ExpectParse("saver.scr /c", RunModeConfigure, Foreground);
    ExpectParse("saver.scr /c:1234", RunModeConfigure, 1234);
    ExpectParse("saver.scr /c 1234", RunModeConfigure, 1234);
    ExpectParse("saver.scr /a 1234", RunModeChangePassword, 1234);
    for (const char* s : {"saver.scr /p 1234", "saver.scr /l 1234", "saver.scr /p:1234"})
        ExpectParse(s, RunModePreview, 1234);
    for (const char* s : {"saver.scr /x", "saver.scr /", "saver.scr - s"}) ExpectParse(s, RunModeNone, 0);
}

TEST(CommandLine, ProgramNameQuotingAndBlanks) {
    ExpectParse("\"C:\\Program Files\\My Saver.scr\" /p 1234", RunModePreview, 1234);
    ExpectParse("\"C:\\saver.scr\"/s", RunModeSaver, 0);
    // A missing closing quote swallows the whole line.
    ExpectParse("\"C:\\saver.scr /s", RunModeConfigure, 0);
    ExpectParse("saver.scr      /s", RunModeSaver, 0);
    // Only the blank separates; a tab is an ordinary character.
    ExpectParse("saver.scr \t/s", RunModeNone, 0);
    ExpectParse("saver.scr\t/s", RunModeConfigure, 0);
}

TEST(CommandLine, ConfigureOwner) {
    ExpectParse("saver.scr /c:", RunModeConfigure, Foreground);
    ExpectParse("saver.scr /c   ", RunModeConfigure, Foreground);
    ExpectParse("saver.scr /c: :: 99", RunModeConfigure, 99);
    ExpectParse("saver.scr -C:17", RunModeConfigure, 17);
    // Something that is not a number is handle 0, not the foreground window.
    ExpectParse("saver.scr /c:abc", RunModeConfigure, 0);
}

TEST(CommandLine, ChangePasswordOwner) {
    ExpectParse("saver.scr /a", RunModeChangePassword, 0);
    ExpectParse("saver.scr /A:555", RunModeChangePassword, 555);
}

TEST(CommandLine, PreviewTargets) {
    PreviewLookups = 0;
    for (const char* s : {"saver.scr /pscrprev", "saver.scr /p:scrprev", "saver.scr /p scrprev",
                          "saver.scr /p ScrPrev", "saver.scr /l SCRPREV"})
        ExpectParse(s, RunModePreview, PreviewChild);
    EXPECT_EQ(PreviewLookups, 5);

    PreviewLookups = 0;
    ExpectParse("saver.scr /p scrprev ", RunModePreview, 0);
    ExpectParse("saver.scr /p Scrprev", RunModePreview, 0);
    ExpectParse("saver.scr /p", RunModePreview, 0);
    EXPECT_EQ(PreviewLookups, 0);

    // The handle's 32 bits are sign-extended, as 32-bit handle values travel.
    ExpectParse("saver.scr /p -5", RunModePreview, static_cast<WindowHandle>(-5));
}

TEST(CommandLine, SwitchCharactersAndCase) {
    ExpectParse("saver.scr --s", RunModeNone, 0);
    ExpectParse("saver.scr /-s", RunModeNone, 0);
    ExpectParse("saver.scr s", RunModeSaver, 0);
    ExpectParse("saver.scr /L 42", RunModePreview, 42);
    ExpectParse("saver.scr -P 42", RunModePreview, 42);
    ExpectParse("saver.scr /sfoo", RunModeSaver, 0);
    ExpectParse("saver.scr /C", RunModeConfigure, Foreground);
}

TEST(Atoi, ReadsLikeTheCLibrary) {
    EXPECT_EQ(ParseAtoi(""), 0);
    EXPECT_EQ(ParseAtoi("abc"), 0);
    EXPECT_EQ(ParseAtoi("  \t\n42xyz"), 42);
    EXPECT_EQ(ParseAtoi("+17"), 17);
    EXPECT_EQ(ParseAtoi("-17"), -17);
    EXPECT_EQ(ParseAtoi("- 17"), 0);
    EXPECT_EQ(ParseAtoi("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseAtoi("-2147483648"), INT32_MIN);
}

TEST(Atoi, OutOfRangeSaturates) {
    EXPECT_EQ(ParseAtoi("2147483648"), INT32_MAX);
    EXPECT_EQ(ParseAtoi("-2147483649"), INT32_MIN);
    EXPECT_EQ(ParseAtoi("99999999999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseAtoi("-99999999999999999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParseAtoi("00000000000000000000000000000012"), 12);
}

TEST(Atoi, HandleBitsSignExtend) {
    EXPECT_EQ(HandleFromNumber(-1), static_cast<WindowHandle>(-1));
    EXPECT_EQ(HandleFromNumber(INT32_MIN), static_cast<WindowHandle>(INT32_MIN));
    EXPECT_EQ(HandleFromNumber(0x12345678), static_cast<WindowHandle>(0x12345678));
}
