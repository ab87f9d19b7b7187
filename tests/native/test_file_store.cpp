// The registry-format settings file: the saver's values through the store's
// operations, the text it writes, and what it does with a damaged file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/file_store.h"
#include "settings/saver_settings.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct TempDir {
    std::string Path;
    TempDir() {
        char pattern[] = "/tmp/mirrowen_store_XXXXXX";
        Path = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + Path + "'").c_str()); }
};

const std::string KeyLine = "[HKEY_CURRENT_USER\\Software\\Pelloquin\\ScreenSavers\\Mirrowen]";

}  // namespace

TEST(FileStore, SavedValuesComeBackAndTheFileIsRegedit4) {
    TempDir dir;
    const std::string path = dir.Path + "/new/dir/mirrowen.reg";
    FileStore store;
    ASSERT_TRUE(LoadFileStore(store, path));  // missing: an empty store

    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    s.StarCount = 1500;
    s.Gravity = -5;
    s.LensFlare = -1;
    s.ScrWidth = 1280;
    s.NativeResolution = 1;
    s.SaveSettings(FileStoreInterface(store));
    EXPECT_EQ(store.OpenKeys, 0);

    const std::string text = ReadText(path);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n" + KeyLine + "\r\n\"BounceBottom\"=dword:00000001\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\"StarCount\"=dword:000005dc\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"Gravity\"=dword:00000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"LensFlare\"=dword:ffffffff\r\n"), std::string::npos);
    // The 19th value comes last, after "Preset".
    EXPECT_NE(text.find("\"Preset\"=dword:00000001\r\n\"NativeResolution\"=dword:00000001\r\n\r\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    // Written through a temporary file that is gone again.
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "/new/dir' | wc -l) -eq 1").c_str()), 0);

    FileStore again;
    ASSERT_TRUE(LoadFileStore(again, path));
    SaverSettings t;
    t.LoadSettings(FileStoreInterface(again));
    for (const StoredSaverValue& entry : SaverValues) EXPECT_EQ(t.*entry.Field, s.*entry.Field) << entry.Name;
    EXPECT_EQ(again.OpenKeys, 0);
}

TEST(FileStore, ReadsWhatTheRegistryEditorWrites) {
    // Case-insensitive names, short dword text, a version 5 header, a
    // continued hex line, comments, and LF or CR LF endings.
    const std::string text =
        "Windows Registry Editor Version 5.00\n\n"
        "; exported\r\n"
        "[hkey_current_user\\software\\pelloquin\\screensavers\\mirrowen]\r\n"
        "\"starcount\"=dword:3e8\n"
        "\"Origins\" = dword:00000003\n"
        "\"Shape\"=hex:02,00,\\\n"
        "  00,00\n"
        "\"Corona\"=hex(b):32,00,00,00,00,00,00,00\n"
        "\"Colours\"=\"\\x\"\n";
    const RegFile file = ParseRegFile(text, nullptr);
    FileStore store;
    store.Contents = file;
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    EXPECT_EQ(s.StarCount, 1000);
    EXPECT_EQ(s.Origins, 3);
    EXPECT_EQ(s.Shape, 2);
    EXPECT_EQ(s.Corona, 70);   // eight bytes: as if absent
    EXPECT_EQ(s.Colours, 0);   // the string "x" and its zero: 0x78, out of range
}

TEST(FileStore, DamagedLinesAreSkippedAndReportedAndNothingElseIsLost) {
    TempDir dir;
    const std::string path = dir.Path + "/mirrowen.reg";
    WriteText(path,
              "REGEDIT4\n"
              "\"Stray\"=dword:00000001\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n"
              "\"Name\"=\"kept \\\"as is\\\"\"\n"
              "@=hex(2):41,00\n" +
                  KeyLine +
                  "\n"
                  "\"StarCount\"=dword:000001f4\n"
                  "\"StarVel\"=dword:zz\n"
                  "garbage without quotes\n"
                  "\"Origins\"=dword:00000002\n"
                  "\"DecayRate\" dword:00000009\n"
                  "[HKEY_CURRENT_USER\\Broken\n"
                  "\"Corona\"=dword:00000010\n");
    std::vector<std::string> problems;
    const RegFile parsed = ParseRegFile(ReadText(path), &problems);
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_EQ(problems[0].rfind("line 2: value outside a readable key", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("line 8: unreadable value data", 0), 0u) << problems[1];
    EXPECT_EQ(problems[2].rfind("line 9: unreadable value name", 0), 0u) << problems[2];
    EXPECT_EQ(problems[3].rfind("line 11: missing '='", 0), 0u) << problems[3];
    EXPECT_EQ(problems[4].rfind("line 12: unreadable key line", 0), 0u) << problems[4];
    // A value after a broken key line cannot be placed.
    EXPECT_EQ(problems[5].rfind("line 13: value outside a readable key", 0), 0u) << problems[5];

    testing::internal::CaptureStderr();
    FileStore store;
    ASSERT_TRUE(LoadFileStore(store, path));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 6);
    EXPECT_NE(err.find("mirrowen: " + path + ": skipped line 9: unreadable value name: garbage without quotes\n"),
              std::string::npos)
        << err;

    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    EXPECT_EQ(s.StarCount, 500);
    EXPECT_EQ(s.Origins, 2);
    EXPECT_EQ(s.StarVel, 4);
    EXPECT_EQ(s.Corona, 70);

    // A save keeps every value, of every key and type, and the unreadable
    // lines where they were: read again, the file is the same.
    s.SaveSettings(FileStoreInterface(store));
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Name\"=\"kept \\\"as is\\\"\"\r\n@=hex(2):41,00\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"StarCount\"=dword:000001f4"), std::string::npos);
    EXPECT_NE(text.find("REGEDIT4\r\n\r\n\"Stray\"=dword:00000001\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\ngarbage without quotes\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Broken\r\n\"Corona\"=dword:00000010\r\n"), std::string::npos) << text;
    std::vector<std::string> again;
    ParseRegFile(text, &again);
    EXPECT_EQ(again.size(), problems.size());
    FileStore reread;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(LoadFileStore(reread, path));
    testing::internal::GetCapturedStderr();
    SaverSettings t;
    t.LoadSettings(FileStoreInterface(reread));
    EXPECT_EQ(t.StarCount, 500);
    EXPECT_EQ(t.StarVel, 4);
}

TEST(FileStore, WrongHeaderIsReportedButTheValuesAreRead) {
    std::vector<std::string> problems;
    const RegFile file = ParseRegFile(KeyLine + "\n\"Origins\"=dword:00000004\n", &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("line 1: not a registry file header", 0), 0u);
    FileStore store;
    store.Contents = file;
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    EXPECT_EQ(s.Origins, 4);
}

TEST(FileStore, UnreadableFileAndUnwritableDirectoryFail) {
    TempDir dir;
    FileStore store;
    // A directory where the file should be cannot be read as one.
    ASSERT_EQ(mkdir((dir.Path + "/mirrowen.reg").c_str(), 0755), 0);
    EXPECT_FALSE(LoadFileStore(store, dir.Path + "/mirrowen.reg"));

    // A file where the directory should be: the save fails and says so.
    WriteText(dir.Path + "/plain", "x");
    store.Path = dir.Path + "/plain/mirrowen.reg";
    EXPECT_FALSE(SaveFileStore(store));
    testing::internal::CaptureStderr();
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    s.SaveSettings(FileStoreInterface(store));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("could not save the settings to " + store.Path),
              std::string::npos);
    EXPECT_EQ(ReadText(dir.Path + "/plain"), "x");
}

// A settings file kept elsewhere by a dotfile manager: a save writes the
// link's target, in the target's own directory, and the links stay links.
TEST(FileStore, ASaveWritesThroughLinksToTheirTarget) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir.Path + "/dotfiles").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir.Path + "/config").c_str(), 0755), 0);
    const std::string target = dir.Path + "/dotfiles/mirrowen.reg";
    WriteText(target, "REGEDIT4\r\n\r\n" + KeyLine + "\r\n\"Origins\"=dword:00000002\r\n");
    // A relative link to an absolute one to the file.
    ASSERT_EQ(symlink(target.c_str(), (dir.Path + "/dotfiles/absolute.reg").c_str()), 0);
    ASSERT_EQ(symlink("../dotfiles/absolute.reg", (dir.Path + "/config/mirrowen.reg").c_str()), 0);
    const std::string path = dir.Path + "/config/mirrowen.reg";
    EXPECT_EQ(SaveTargetPath(path), target);

    FileStore store;
    ASSERT_TRUE(LoadFileStore(store, path));
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    EXPECT_EQ(s.Origins, 2);
    s.Origins = 4;
    s.SaveSettings(FileStoreInterface(store));
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(lstat((dir.Path + "/dotfiles/absolute.reg").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(ReadText(target).find("\"Origins\"=dword:00000004\r\n"), std::string::npos);
    // No temporary file left in either directory.
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "/dotfiles' | wc -l) -eq 2").c_str()), 0);
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "/config' | wc -l) -eq 1").c_str()), 0);

    // A dangling link: its target is made, the link kept.
    const std::string dangling = dir.Path + "/config/dangling.reg";
    ASSERT_EQ(symlink("../dotfiles/new/made.reg", dangling.c_str()), 0);
    store.Path = dangling;
    ASSERT_TRUE(SaveFileStore(store));
    ASSERT_EQ(lstat(dangling.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(ReadText(dir.Path + "/dotfiles/new/made.reg").find("\"Origins\"=dword:00000004"), std::string::npos);

    // A loop of links cannot be written, and is left as it was.
    ASSERT_EQ(symlink("loop-b", (dir.Path + "/config/loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", (dir.Path + "/config/loop-b").c_str()), 0);
    store.Path = dir.Path + "/config/loop-a";
    EXPECT_FALSE(SaveFileStore(store));
    EXPECT_EQ(errno, ELOOP);
}

TEST(FileStore, ASaveKeepsTheFilesModeAndANewFileFollowsTheUmask) {
    TempDir dir;
    const std::string path = dir.Path + "/mirrowen.reg";
    WriteText(path, "REGEDIT4\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    FileStore store;
    ASSERT_TRUE(LoadFileStore(store, path));
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    s.SaveSettings(FileStoreInterface(store));
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_NE(ReadText(path).find("\"StarCount\""), std::string::npos);

    const mode_t old = umask(027);
    store.Path = dir.Path + "/new.reg";
    const bool saved = SaveFileStore(store);
    umask(old);
    ASSERT_TRUE(saved);
    ASSERT_EQ(stat(store.Path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(FileStore, PathFollowsXdgConfigHome) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";

    setenv("XDG_CONFIG_HOME", "/x/config", 1);
    EXPECT_EQ(SettingsFilePath(), "/x/config/mirrowen/mirrowen.reg");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/mirrowen/mirrowen.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/mirrowen/mirrowen.reg");

    if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

TEST(FileStore, ReadsTheRegistryEditorsUtf16Export) {
    const std::string ascii = "Windows Registry Editor Version 5.00\r\n\r\n" + KeyLine +
                              "\r\n\"Origins\"=dword:00000004\r\n\"Gr\xC3\xBC\xC3\x9F\"=\"\xE2\x82\xAC\"\r\n";
    // UTF-8 to UTF-16LE for the test's few characters (all in the BMP).
    std::string utf16 = "\xFF\xFE";
    for (std::size_t i = 0; i < ascii.size();) {
        const unsigned char c = static_cast<unsigned char>(ascii[i]);
        unsigned unit;
        if (c < 0x80) {
            unit = c;
            i += 1;
        } else if (c < 0xE0) {
            unit = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(ascii[i + 1]) & 0x3Fu);
            i += 2;
        } else {
            unit = (c & 0x0Fu) << 12 | (static_cast<unsigned char>(ascii[i + 1]) & 0x3Fu) << 6 |
                   (static_cast<unsigned char>(ascii[i + 2]) & 0x3Fu);
            i += 3;
        }
        utf16.push_back(static_cast<char>(unit & 0xFF));
        utf16.push_back(static_cast<char>(unit >> 8));
    }
    std::vector<std::string> problems;
    FileStore store;
    store.Contents = ParseRegFile(utf16, &problems);
    EXPECT_TRUE(problems.empty()) << problems[0];
    SaverSettings s;
    s.LoadSettings(FileStoreInterface(store));
    EXPECT_EQ(s.Origins, 4);
    ASSERT_EQ(store.Contents.Keys.size(), 1u);
    ASSERT_EQ(store.Contents.Keys[0].Values.size(), 2u);
    EXPECT_EQ(store.Contents.Keys[0].Values[1].Name, "Gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(store.Contents.Keys[0].Values[1].Data, "\"\xE2\x82\xAC\"");
}
