#include <gtest/gtest.h>

#include <string>

#include "settings/memory_store.h"
#include "settings/saver_settings.h"

namespace {

struct Fixture {
    MemoryStore memory;
    SettingsStore store = MemoryStoreInterface(memory);
    SaverSettings s;

    void Put(const std::string& name, std::uint32_t v) { PutDword(memory, SaverKeyPath, name, v); }
    void Load() { s.LoadSettings(store); }
    std::uint32_t Stored(const std::string& name) {
        std::uint32_t v = 0xDEADBEEF;
        EXPECT_TRUE(GetDword(memory, SaverKeyPath, name, &v)) << name;
        return v;
    }
};

// Loads a single stored value into otherwise default settings.
std::int32_t LoadOne(const std::string& name, std::uint32_t v, std::int32_t SaverSettings::*field) {
    Fixture f;
    f.Put(name, v);
    f.Load();
    return f.s.*field;
}

void ExpectDefaults(const SaverSettings& s) {
    EXPECT_EQ(s.BounceBottom, 1);
    EXPECT_EQ(s.BounceTop, 0);
    EXPECT_EQ(s.BounceSides, 0);
    EXPECT_EQ(s.StarCount, 300);
    EXPECT_EQ(s.StarVel, 4);
    EXPECT_EQ(s.StarSize, 7);
    EXPECT_EQ(s.DecayRate, 4);
    EXPECT_EQ(s.PulsateRate, 4);
    EXPECT_EQ(s.Shape, 7);
    EXPECT_EQ(s.Colours, 0);
    EXPECT_EQ(s.Gravity, 1);
    EXPECT_EQ(s.Origins, 1);
    EXPECT_EQ(s.OriginSpeed, 1);
    EXPECT_EQ(s.Corona, 70);
    EXPECT_EQ(s.LensFlare, 0);
    EXPECT_EQ(s.ScrWidth, 640);
    EXPECT_EQ(s.ScrHeight, 480);
    EXPECT_EQ(s.Preset, 1);
    EXPECT_EQ(s.NativeResolution, 0);
}

}  // namespace

TEST(SettingsRecord, ConstructorClearsTheWindowState) {
    SaverSettings s;
    EXPECT_EQ(s.hwnd, 0);
    EXPECT_EQ(s.TimerId, 0u);
    EXPECT_EQ(s.CloseRequested, 0);
}

TEST(SettingsRecord, MissingOrEmptyKeyGivesDefaults) {
    Fixture missing;
    missing.s.StarCount = 1234;  // overwritten by the defaults
    missing.Load();
    ExpectDefaults(missing.s);

    Fixture empty;
    empty.memory.Keys[SaverKeyPath];
    empty.Load();
    ExpectDefaults(empty.s);
    EXPECT_EQ(empty.memory.OpenKeys, 0);
}

TEST(SettingsRecord, FirstSaveCreatesTheKeyWithAll19Values) {
    Fixture f;
    f.Load();
    f.s.SaveSettings(f.store);
    ASSERT_EQ(f.memory.Keys.count(SaverKeyPath), 1u);
    EXPECT_EQ(f.memory.Keys[SaverKeyPath].size(), 19u);
    EXPECT_EQ(f.Stored("NativeResolution"), 0u);
    EXPECT_EQ(f.Stored("StarCount"), 300u);
    EXPECT_EQ(f.Stored("Gravity"), 6u);
    EXPECT_EQ(f.Stored("ScrWidth"), 640u);
    EXPECT_EQ(f.memory.OpenKeys, 0);
}

TEST(SettingsRecord, StarCountBounds) {
    EXPECT_EQ(LoadOne("StarCount", 99, &SaverSettings::StarCount), 300);
    EXPECT_EQ(LoadOne("StarCount", 100, &SaverSettings::StarCount), 100);
    EXPECT_EQ(LoadOne("StarCount", 2000, &SaverSettings::StarCount), 2000);
    EXPECT_EQ(LoadOne("StarCount", 2001, &SaverSettings::StarCount), 300);
}

TEST(SettingsRecord, GravityIsStoredWithBiasFive) {
    EXPECT_EQ(LoadOne("Gravity", 0, &SaverSettings::Gravity), -5);
    EXPECT_EQ(LoadOne("Gravity", 10, &SaverSettings::Gravity), 5);
    EXPECT_EQ(LoadOne("Gravity", 11, &SaverSettings::Gravity), 1);
    EXPECT_EQ(LoadOne("Gravity", 0xFFFFFFFFu, &SaverSettings::Gravity), 1);

    Fixture f;
    f.Load();
    f.s.Gravity = -5;
    f.s.SaveSettings(f.store);
    EXPECT_EQ(f.Stored("Gravity"), 0u);
}

TEST(SettingsRecord, AllBitsSetFailsEveryUpperBound) {
    Fixture f;
    for (const StoredSaverValue& rule : SaverValues) f.Put(rule.Name, 0xFFFFFFFFu);
    f.Load();
    // The tested values fall back to their defaults...
    EXPECT_EQ(f.s.StarCount, 300);
    EXPECT_EQ(f.s.StarVel, 4);
    EXPECT_EQ(f.s.Gravity, 1);
    EXPECT_EQ(f.s.OriginSpeed, 1);
    EXPECT_EQ(f.s.Origins, 1);
    EXPECT_EQ(f.s.Shape, 7);
    EXPECT_EQ(f.s.StarSize, 7);
    EXPECT_EQ(f.s.DecayRate, 4);
    EXPECT_EQ(f.s.PulsateRate, 4);
    EXPECT_EQ(f.s.Corona, 70);
    EXPECT_EQ(f.s.Colours, 0);
    // ...the untested ones take the number as it stands...
    EXPECT_EQ(f.s.LensFlare, -1);
    EXPECT_EQ(f.s.BounceTop, -1);
    EXPECT_EQ(f.s.Preset, -1);
    EXPECT_EQ(f.s.NativeResolution, -1);
    // ...and the resolution has no upper bound at all, as an unsigned number.
    EXPECT_EQ(f.s.ScrWidth, -1);
    EXPECT_EQ(f.s.ScrHeight, -1);
}

TEST(SettingsRecord, ResolutionLowerBounds) {
    EXPECT_EQ(LoadOne("ScrWidth", 320, &SaverSettings::ScrWidth), 640);
    EXPECT_EQ(LoadOne("ScrWidth", 321, &SaverSettings::ScrWidth), 321);
    EXPECT_EQ(LoadOne("ScrWidth", 5000, &SaverSettings::ScrWidth), 5000);
    EXPECT_EQ(LoadOne("ScrHeight", 199, &SaverSettings::ScrHeight), 480);
    EXPECT_EQ(LoadOne("ScrHeight", 200, &SaverSettings::ScrHeight), 200);
    EXPECT_EQ(LoadOne("ScrHeight", 5000, &SaverSettings::ScrHeight), 5000);
}

TEST(SettingsRecord, OtherRangesFallBackToDefaults) {
    EXPECT_EQ(LoadOne("DecayRate", 0, &SaverSettings::DecayRate), 4);
    EXPECT_EQ(LoadOne("DecayRate", 20, &SaverSettings::DecayRate), 20);
    EXPECT_EQ(LoadOne("DecayRate", 21, &SaverSettings::DecayRate), 4);
    EXPECT_EQ(LoadOne("OriginSpeed", 0, &SaverSettings::OriginSpeed), 1);
    EXPECT_EQ(LoadOne("OriginSpeed", 11, &SaverSettings::OriginSpeed), 1);
    EXPECT_EQ(LoadOne("Origins", 5, &SaverSettings::Origins), 1);
    EXPECT_EQ(LoadOne("Origins", 0, &SaverSettings::Origins), 1);
    EXPECT_EQ(LoadOne("Colours", 6, &SaverSettings::Colours), 0);
    EXPECT_EQ(LoadOne("Shape", 11, &SaverSettings::Shape), 7);
    EXPECT_EQ(LoadOne("StarVel", 30, &SaverSettings::StarVel), 30);
    EXPECT_EQ(LoadOne("StarVel", 31, &SaverSettings::StarVel), 4);
    EXPECT_EQ(LoadOne("StarSize", 0, &SaverSettings::StarSize), 0);
    EXPECT_EQ(LoadOne("Corona", 101, &SaverSettings::Corona), 70);
    EXPECT_EQ(LoadOne("PulsateRate", 21, &SaverSettings::PulsateRate), 4);
}

TEST(SettingsRecord, ValueLengths) {
    // Eight bytes of data count as missing; shorter data is zero-extended.
    Fixture f;
    PutBytes(f.memory, SaverKeyPath, "StarCount", {0xF4, 0x01, 0, 0, 0, 0, 0, 0});
    PutBytes(f.memory, SaverKeyPath, "Corona", {50});
    PutBytes(f.memory, SaverKeyPath, "ScrWidth", {0x20, 0x03});
    PutBytes(f.memory, SaverKeyPath, "Origins", {});
    f.Put("StarVel", 9);
    f.Load();
    EXPECT_EQ(f.s.StarCount, 300);
    EXPECT_EQ(f.s.Corona, 50);
    EXPECT_EQ(f.s.ScrWidth, 800);
    EXPECT_EQ(f.s.Origins, 1);  // empty data reads as 0, which fails its test
    EXPECT_EQ(f.s.StarVel, 9);
}

TEST(SettingsRecord, InRangeValuesSurviveASaveAndLoad) {
    Fixture f;
    f.Load();
    SaverSettings& s = f.s;
    s.BounceBottom = 0;
    s.BounceTop = 1;
    s.BounceSides = 7;
    s.StarCount = 1234;
    s.StarVel = 30;
    s.StarSize = 0;
    s.DecayRate = 20;
    s.PulsateRate = 0;
    s.Shape = 10;
    s.Colours = 5;
    s.Gravity = -5;
    s.Origins = 4;
    s.OriginSpeed = 10;
    s.Corona = 100;
    s.LensFlare = 1;
    s.ScrWidth = 1280;
    s.ScrHeight = 1024;
    s.Preset = 8;
    s.NativeResolution = 1;
    s.SaveSettings(f.store);

    SaverSettings back;
    back.LoadSettings(f.store);
    for (const StoredSaverValue& rule : SaverValues) EXPECT_EQ(back.*rule.Field, s.*rule.Field) << rule.Name;
}

TEST(SettingsRecord, FreshInstallIsNotTheDefaultPreset) {
    // "(Default)" launches at 5, pulsates at 7 and pulls with gravity 2.
    Fixture f;
    f.Load();
    EXPECT_NE(f.s.StarVel, 5);
    EXPECT_NE(f.s.PulsateRate, 7);
    EXPECT_NE(f.s.Gravity, 2);
}

TEST(SettingsRecord, SystemValues) {
    Fixture none;
    none.s.CheckingPassword = 1;
    none.s.ReadSystemSaverSettings(none.store);
    EXPECT_EQ(none.s.PasswordDelay, 1u);
    EXPECT_EQ(none.s.MouseThreshold, 50);
    EXPECT_EQ(none.s.CheckingPassword, 0);

    Fixture f;
    PutDword(f.memory, SystemSaverKeyPath, "Password Delay", 15);
    PutDword(f.memory, SystemSaverKeyPath, "Mouse Threshold", 0xFFFFFFFBu);
    PutDword(f.memory, SystemSaverKeyPath, "Mute Sound", 1);
    f.s.ReadSystemSaverSettings(f.store);
    EXPECT_EQ(f.s.PasswordDelay, 15u);
    EXPECT_EQ(f.s.MouseThreshold, -5);  // taken without a test, signed
    EXPECT_EQ(f.s.MuteSound, 1u);
    EXPECT_EQ(f.memory.OpenKeys, 0);
}

TEST(SettingsRecord, ValuesAreNamedAndOrderedAsStored) {
    const char* order[] = {"BounceBottom", "BounceTop", "BounceSides", "StarCount", "StarVel", "Gravity",
                           "OriginSpeed",  "Origins",   "ScrWidth",    "ScrHeight", "Shape",   "StarSize",
                           "DecayRate",    "PulsateRate", "Corona",    "Colours",   "LensFlare", "Preset",
                           "NativeResolution"};
    ASSERT_EQ(SaverValueCount, sizeof order / sizeof order[0]);
    for (std::size_t i = 0; i < SaverValueCount; ++i) EXPECT_STREQ(SaverValues[i].Name, order[i]);
    EXPECT_EQ(FindSaverValue("Gravity"), &SaverValues[5]);
    EXPECT_EQ(FindSaverValue("gravity"), nullptr);
    EXPECT_EQ(FindSaverValue("Speed"), nullptr);
}
