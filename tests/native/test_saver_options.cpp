// The X11 program's command line: where it draws, and the saver values that
// lie over the stored ones through the same acceptance tests.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "linux/options.h"
#include "linux/stored_values.h"
#include "settings/memory_store.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"

namespace {

struct Parsed {
    bool Ok;
    SaverOptions Options;
    std::string Error;
    std::vector<std::string> Warnings;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "mirrowen");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    Parsed p;
    p.Ok = ParseSaverOptions(static_cast<int>(argv.size()), argv.data(), p.Options, &p.Error, &p.Warnings);
    return p;
}

// The record LoadSettings gives for the options over `stored`.
SaverSettings Load(const SaverOptions& options, MemoryStore& stored) {
    const SettingsStore base = MemoryStoreInterface(stored);
    OptionOverlay overlay{&base, &options};
    SaverSettings s;
    s.LoadSettings(OptionOverlayInterface(overlay));
    EXPECT_EQ(stored.OpenKeys, 0);
    return s;
}

SaverSettings Load(const std::vector<std::string>& args) {
    const Parsed p = Parse(args);
    EXPECT_TRUE(p.Ok) << p.Error;
    MemoryStore empty;
    return Load(p.Options, empty);
}

}  // namespace

TEST(SaverOptions, DrawTargets) {
    EXPECT_EQ(Parse({}).Options.Target, DrawTarget::Unset);
    EXPECT_EQ(Parse({"-root"}).Options.Target, DrawTarget::Root);
    EXPECT_EQ(Parse({"--root"}).Options.Target, DrawTarget::Root);
    EXPECT_EQ(Parse({"-window"}).Options.Target, DrawTarget::OwnWindow);

    Parsed p = Parse({"-window-id", "0x1a00003"});
    EXPECT_EQ(p.Options.Target, DrawTarget::WindowId);
    EXPECT_EQ(p.Options.WindowId, 0x1a00003ul);
    EXPECT_EQ(Parse({"-window-id", "27262979"}).Options.WindowId, 27262979ul);
    EXPECT_EQ(Parse({"-window-id", "0XfF"}).Options.WindowId, 0xFFul);
    for (const char* bad : {"", "0", "0x", "-3", "+3", "12abc", "0x-1", "4294967296", " 12"}) {
        p = Parse({"-window-id", bad});
        EXPECT_FALSE(p.Ok) << bad;
        EXPECT_NE(p.Error.find("-window-id needs a window number"), std::string::npos) << p.Error;
    }
    p = Parse({"-window-id"});
    EXPECT_FALSE(p.Ok);
    EXPECT_EQ(p.Error, "mirrowen: missing value after -window-id");
}

TEST(SaverOptions, GeometryFpsAndTheRest) {
    Parsed p = Parse({"-window", "-geometry", "300x200"});
    EXPECT_EQ(p.Options.Width, 300);
    EXPECT_EQ(p.Options.Height, 200);
    EXPECT_FALSE(p.Options.PositionGiven);
    p = Parse({"-geometry", "640x480+10-20", "-fps", "-frames", "5", "-display", ":3", "-save-settings"});
    ASSERT_TRUE(p.Ok) << p.Error;
    EXPECT_EQ(p.Options.X, 10);
    EXPECT_EQ(p.Options.Y, -20);
    EXPECT_TRUE(p.Options.PositionGiven);
    EXPECT_TRUE(p.Options.ShowFps);
    EXPECT_EQ(p.Options.Frames, 5);
    EXPECT_EQ(p.Options.DisplayName, ":3");
    EXPECT_TRUE(p.Options.SaveSettings);
    EXPECT_EQ(Parse({}).Options.Width, 1024);
    EXPECT_EQ(Parse({}).Options.Height, 768);
    EXPECT_EQ(Parse({}).Options.Frames, -1);
    for (const char* bad : {"300", "0x200", "300x0", "x200", "300x200+5", "300x200+", "300x200+1+2junk"})
        EXPECT_FALSE(Parse({"-geometry", bad}).Ok) << bad;
    EXPECT_FALSE(Parse({"-frames", "-1"}).Ok);

    // --idle: whole seconds, 1 to a day, or no number (the settings file's).
    EXPECT_EQ(Parse({"--wayland", "--idle", "1"}).Options.IdleSeconds, 1);
    EXPECT_EQ(Parse({"--idle", "86400", "--wayland"}).Options.IdleSeconds, 86400);
    EXPECT_FALSE(Parse({"--wayland"}).Options.Idle);
    for (const auto& args : {std::vector<std::string>{"--wayland", "--idle"}, {"--idle", "--wayland"}}) {
        p = Parse(args);
        EXPECT_TRUE(p.Ok && p.Options.Idle) << p.Error;
        EXPECT_EQ(p.Options.IdleSeconds, 0);
    }
    for (const char* bad : {"0", "86401", "-5", "2.5", "soon", ""}) {
        p = Parse({"--wayland", "--idle", bad});
        EXPECT_FALSE(p.Ok) << bad;
        EXPECT_NE(p.Error.find("--idle needs a number of seconds from 1 to 86400"), std::string::npos) << p.Error;
    }
    // Without --wayland, the session it runs in: Wayland where there is a
    // Wayland display whose socket is there and no X display was named, else
    // X11 (a name an earlier session left in the environment included).
    p = Parse({"--idle", "300"});
    EXPECT_TRUE(p.Ok && p.Options.Idle && p.Options.IdleSeconds == 300) << p.Error;
    char dir[] = "/tmp/mirrowen_runtime_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string socketPath = std::string(dir) + "/wayland-0";
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(IdleInWayland(p.Options, "wayland-0", dir));
    EXPECT_TRUE(IdleInWayland(p.Options, socketPath.c_str(), nullptr));
    EXPECT_FALSE(IdleInWayland(p.Options, "wayland-1", dir));
    EXPECT_FALSE(IdleInWayland(p.Options, nullptr, dir));
    EXPECT_FALSE(IdleInWayland(p.Options, "", dir));
    EXPECT_FALSE(IdleInWayland(Parse({"--idle", "-display", ":1"}).Options, "wayland-0", dir));
    EXPECT_TRUE(IdleInWayland(Parse({"--wayland", "--idle"}).Options, nullptr, nullptr));
    close(listening);
    unlink(socketPath.c_str());
    rmdir(dir);

    // -delay in microseconds; outside 0 to 100000 the default stands, with a line.
    EXPECT_EQ(Parse({}).Options.Delay, 16667);
    EXPECT_EQ(Parse({"-delay", "0"}).Options.Delay, 0);
    EXPECT_EQ(Parse({"--delay", "100000"}).Options.Delay, 100000);
    for (const char* bad : {"100001", "-1", "fast", ""}) {
        p = Parse({"-delay", "5000", "-delay", bad});
        EXPECT_TRUE(p.Ok) << bad;
        EXPECT_EQ(p.Options.Delay, 16667) << bad;
        ASSERT_EQ(p.Warnings.size(), 1u) << bad;
        EXPECT_EQ(p.Warnings[0], std::string("mirrowen: -delay ") + bad +
                                     " rejected (accepted: 0 to 100000 microseconds); the default 16667 stands");
    }
    EXPECT_FALSE(Parse({"-delay"}).Ok);
    // Without -delay the settings file's FrameDelay applies, when it is in range.
    EXPECT_FALSE(Parse({}).Options.DelayGiven);
    EXPECT_TRUE(Parse({"-delay", "0"}).Options.DelayGiven);
    MemoryStore stored;
    EXPECT_EQ(ReadStoredFrameDelay(MemoryStoreInterface(stored)), 16667);
    WriteStoredFrameDelay(MemoryStoreInterface(stored), 33333);
    EXPECT_EQ(ReadStoredFrameDelay(MemoryStoreInterface(stored)), 33333);
    PutDword(stored, SaverKeyPath, "FrameDelay", 100001);
    EXPECT_EQ(ReadStoredFrameDelay(MemoryStoreInterface(stored)), 16667);
    // The idle service's time the same way: 300 s unless a stored one is in range.
    EXPECT_EQ(ReadStoredIdleTime(MemoryStoreInterface(stored)), 300);
    WriteStoredIdleTime(MemoryStoreInterface(stored), 600);
    EXPECT_EQ(ReadStoredIdleTime(MemoryStoreInterface(stored)), 600);
    PutDword(stored, SaverKeyPath, "IdleTime", 0);
    EXPECT_EQ(ReadStoredIdleTime(MemoryStoreInterface(stored)), 300);
    const std::string usage = SaverOptionsUsage();
    EXPECT_NE(usage.find("[-delay MICROSECONDS]"), std::string::npos);
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(Parse({}).Options.Renderer, FrameRenderer::Batched);
    EXPECT_EQ(Parse({"--renderer", "immediate"}).Options.Renderer, FrameRenderer::Immediate);
    EXPECT_EQ(Parse({"-renderer", "immediate", "-renderer", "batched"}).Options.Renderer, FrameRenderer::Batched);
    p = Parse({"-renderer", "Immediate"});
    EXPECT_FALSE(p.Ok);
    EXPECT_EQ(p.Error, "mirrowen: -renderer needs batched, immediate or shader, not Immediate");
    EXPECT_EQ(Parse({"-renderer", "shader"}).Options.Renderer, FrameRenderer::Shader);
    p = Parse({"-stars", "9"});
    EXPECT_FALSE(p.Ok);
    EXPECT_EQ(p.Error, "mirrowen: unknown option -stars");
    EXPECT_FALSE(Parse({"root"}).Ok);
}

TEST(SaverOptions, EveryValueReachesTheRecordInItsUnits) {
    const SaverSettings s = Load({"-count", "2000", "-velocity", "30", "-size", "0", "-decay", "20", "-pulsate", "0",
                                  "-shape", "10", "-colours", "5", "-gravity", "-5", "-origins", "4", "-origin-speed",
                                  "10", "-corona", "100", "-lens-flare", "-no-bounce-bottom", "-bounce-top",
                                  "-bounce-sides", "-resolution", "1280x1024"});
    EXPECT_EQ(s.StarCount, 2000);
    EXPECT_EQ(s.StarVel, 30);
    EXPECT_EQ(s.StarSize, 0);
    EXPECT_EQ(s.DecayRate, 20);
    EXPECT_EQ(s.PulsateRate, 0);
    EXPECT_EQ(s.Shape, 10);
    EXPECT_EQ(s.Colours, 5);
    EXPECT_EQ(s.Gravity, -5);
    EXPECT_EQ(s.Origins, 4);
    EXPECT_EQ(s.OriginSpeed, 10);
    EXPECT_EQ(s.Corona, 100);
    EXPECT_EQ(s.LensFlare, 1);
    EXPECT_EQ(s.BounceBottom, 0);
    EXPECT_EQ(s.BounceTop, 1);
    EXPECT_EQ(s.BounceSides, 1);
    EXPECT_EQ(s.ScrWidth, 1280);
    EXPECT_EQ(s.ScrHeight, 1024);
    EXPECT_EQ(s.Preset, 1);
}

TEST(SaverOptions, RejectedValuesAreReportedAndTheDefaultStands) {
    MemoryStore stored;
    PutDword(stored, SaverKeyPath, "StarCount", 800);
    PutDword(stored, SaverKeyPath, "Gravity", 9);
    PutDword(stored, SaverKeyPath, "Origins", 3);
    PutDword(stored, SaverKeyPath, "StarVel", 12);

    const Parsed p = Parse({"-count", "99", "-gravity", "6", "-origins", "many", "-resolution", "320x200",
                            "-corona", "4294967296"});
    ASSERT_TRUE(p.Ok);
    ASSERT_EQ(p.Warnings.size(), 5u);
    EXPECT_EQ(p.Warnings[0], "mirrowen: -count 99 rejected (accepted: 100 to 2000); the default 300 stands");
    EXPECT_EQ(p.Warnings[1], "mirrowen: -gravity 6 rejected (accepted: -5 to 5); the default 1 stands");
    EXPECT_EQ(p.Warnings[2], "mirrowen: -origins many is not a number; the default 1 stands");
    EXPECT_EQ(p.Warnings[3],
              "mirrowen: -resolution 320x200 width rejected (accepted: at least 321); the default 640 stands");
    EXPECT_EQ(p.Warnings[4], "mirrowen: -corona 4294967296 is not a number; the default 70 stands");

    const SaverSettings s = Load(p.Options, stored);
    EXPECT_EQ(s.StarCount, 300);  // not the stored 800
    EXPECT_EQ(s.Gravity, 1);
    EXPECT_EQ(s.Origins, 1);
    EXPECT_EQ(s.ScrWidth, 640);
    EXPECT_EQ(s.ScrHeight, 200);  // the height passes its own test
    EXPECT_EQ(s.Corona, 70);
    EXPECT_EQ(s.StarVel, 12);     // not given: the stored value
}

TEST(SaverOptions, EdgesOfTheAcceptanceRanges) {
    EXPECT_EQ(Load({"-count", "100"}).StarCount, 100);
    EXPECT_EQ(Load({"-count", "2001"}).StarCount, 300);
    EXPECT_EQ(Load({"-velocity", "31"}).StarVel, 4);
    EXPECT_EQ(Load({"-velocity", "-1"}).StarVel, 4);
    EXPECT_EQ(Load({"-gravity", "5"}).Gravity, 5);
    EXPECT_EQ(Load({"-gravity", "-6"}).Gravity, 1);
    EXPECT_EQ(Load({"-decay", "0"}).DecayRate, 4);
    EXPECT_EQ(Load({"-shape", "11"}).Shape, 7);
    EXPECT_EQ(Load({"-colours", "6"}).Colours, 0);
    EXPECT_EQ(Load({"-origin-speed", "0"}).OriginSpeed, 1);
    EXPECT_EQ(Load({"-resolution", "321x200"}).ScrWidth, 321);
    EXPECT_EQ(Load({"-resolution", "321x199"}).ScrHeight, 480);
    EXPECT_EQ(Load({"-resolution", "5000x5000"}).ScrHeight, 5000);
}

TEST(SaverOptions, PresetsSetTheirFourteenValuesAndLaterOptionsWin) {
    SaverSettings s = Load({"-count", "700", "-preset", "Great balls of fire"});
    const PresetRow& row = *FindPreset(5);
    EXPECT_EQ(s.StarVel, row.StarVel);
    EXPECT_EQ(s.StarSize, row.StarSize);
    EXPECT_EQ(s.DecayRate, row.DecayRate);
    EXPECT_EQ(s.PulsateRate, row.PulsateRate);
    EXPECT_EQ(s.Gravity, row.Gravity);
    EXPECT_EQ(s.Colours, row.Colours);
    EXPECT_EQ(s.Shape, row.Shape);
    EXPECT_EQ(s.Origins, row.Origins);
    EXPECT_EQ(s.OriginSpeed, row.OriginSpeed);
    EXPECT_EQ(s.Corona, row.Corona);
    EXPECT_EQ(s.LensFlare, row.LensFlare);
    EXPECT_EQ(s.BounceTop, row.BounceTop);
    EXPECT_EQ(s.BounceSides, row.BounceSides);
    EXPECT_EQ(s.BounceBottom, row.BounceBottom);
    EXPECT_EQ(s.Preset, 5);
    EXPECT_EQ(s.StarCount, 700);  // a preset leaves the count alone

    s = Load({"-preset", "fireball", "-corona", "20", "-no-lens-flare"});
    EXPECT_EQ(s.Corona, 20);
    EXPECT_EQ(s.LensFlare, 0);
    EXPECT_EQ(s.StarSize, 10);
    s = Load({"-corona", "20", "-preset", "fireball"});
    EXPECT_EQ(s.Corona, 70);

    for (const PresetRow& r : PresetTable) {
        EXPECT_EQ(FindPresetByName(r.Name), r.Number) << r.Name;
        EXPECT_EQ(FindPresetByName(std::to_string(r.Number)), r.Number);
    }
    EXPECT_EQ(FindPresetByName("default"), 1);
    EXPECT_EQ(FindPresetByName("mirrowen-classic"), 2);
    EXPECT_EQ(FindPresetByName("CRAZY_COMETS"), 7);
    EXPECT_EQ(FindPresetByName("9"), 0);
    EXPECT_EQ(FindPresetByName("()"), 0);

    const Parsed p = Parse({"-preset", "brass"});
    ASSERT_EQ(p.Warnings.size(), 1u);
    EXPECT_EQ(p.Warnings[0].rfind("mirrowen: -preset brass: no such preset (default, mirrowen-classic,", 0), 0u)
        << p.Warnings[0];
    EXPECT_TRUE(p.Options.Values.empty());
}

TEST(SaverOptions, OverlayPassesEverythingElseToTheStore) {
    MemoryStore stored;
    PutDword(stored, SystemSaverKeyPath, "Mouse Threshold", 9);
    const Parsed p = Parse({"-count", "400"});
    const SettingsStore base = MemoryStoreInterface(stored);
    OptionOverlay overlay{&base, &p.Options};
    const SettingsStore store = OptionOverlayInterface(overlay);
    SaverSettings s;
    s.ReadSystemSaverSettings(store);
    EXPECT_EQ(s.MouseThreshold, 9);
    // The own key is absent from the store, yet the option is read.
    s.LoadSettings(store);
    EXPECT_EQ(s.StarCount, 400);
    // Writes go to the store.
    s.SaveSettings(store);
    std::uint32_t v = 0;
    ASSERT_TRUE(GetDword(stored, SaverKeyPath, "StarCount", &v));
    EXPECT_EQ(v, 400u);
    EXPECT_EQ(stored.OpenKeys, 0);

    // Without options an absent key stays absent.
    SaverOptions none;
    MemoryStore empty;
    const SettingsStore emptyBase = MemoryStoreInterface(empty);
    OptionOverlay plain{&emptyBase, &none};
    StoreKey key = nullptr;
    const SettingsStore plainStore = OptionOverlayInterface(plain);
    EXPECT_FALSE(plainStore.OpenKeyForRead(plainStore.Context, SaverKeyPath, &key));
}
