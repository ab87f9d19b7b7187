// The settings record over Wine's real registry. Every test starts and ends
// with the saver's key deleted, so the suite passes in any order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "settings/saver_settings.h"
#include "windows/registry_store.h"

namespace {

void DeleteSaverKey() { RegDeleteTreeA(HKEY_CURRENT_USER, SaverKeyPath); }

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSaverKey();
        store = ::RegistryStore();
    }
    void TearDown() override { DeleteSaverKey(); }

    void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SaverKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    bool GetRaw(const char* name, DWORD* type, DWORD* value) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SaverKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        DWORD size = sizeof *value;
        LONG rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS && size == sizeof *value;
    }

    SettingsStore store{};
};

SaverSettings Loaded(const SettingsStore& store) {
    SaverSettings s;
    s.LoadSettings(store);
    return s;
}

TEST_F(RegistryStore, MissingKeyGivesBuiltInDefaults) {
    SaverSettings s = Loaded(store);
    EXPECT_EQ(s.StarCount, 300);
    EXPECT_EQ(s.Gravity, 1);
    EXPECT_EQ(s.ScrWidth, 640);
    EXPECT_EQ(s.Preset, 1);
}

TEST_F(RegistryStore, SaveCreatesTheKeyAsDwordsWithGravityBiased) {
    SaverSettings s = Loaded(store);
    s.Gravity = -5;
    s.StarCount = 1234;
    s.SaveSettings(store);

    DWORD type = 0, value = 0;
    ASSERT_TRUE(GetRaw("Gravity", &type, &value));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);
    ASSERT_TRUE(GetRaw("StarCount", &type, &value));
    EXPECT_EQ(value, 1234u);
    for (const StoredSaverValue& rule : SaverValues) {
        EXPECT_TRUE(GetRaw(rule.Name, &type, &value)) << rule.Name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << rule.Name;
    }

    SaverSettings back = Loaded(store);
    EXPECT_EQ(back.Gravity, -5);
    EXPECT_EQ(back.StarCount, 1234);
}

TEST_F(RegistryStore, TypeIsIgnoredAndShortDataIsZeroExtended) {
    // Two bytes of binary data: 0x03E8 = 1000.
    const unsigned char twoBytes[] = {0xE8, 0x03};
    PutRaw("StarCount", REG_BINARY, twoBytes, sizeof twoBytes);
    // A string "\x05\0" read as its bytes: 5.
    const char shortText[] = "\x05";
    PutRaw("Colours", REG_SZ, shortText, sizeof shortText);
    // A big-endian DWORD is still read as four plain bytes: 0x09000000, rejected.
    const unsigned char bigEndian[] = {0x00, 0x00, 0x00, 0x09};
    PutRaw("Shape", REG_DWORD_BIG_ENDIAN, bigEndian, sizeof bigEndian);
    // Zero-length data reads as 0, which "Gravity" accepts (0 - 5).
    PutRaw("Gravity", REG_BINARY, nullptr, 0);

    SaverSettings s = Loaded(store);
    EXPECT_EQ(s.StarCount, 1000);
    EXPECT_EQ(s.Colours, 5);
    EXPECT_EQ(s.Shape, 7);
    EXPECT_EQ(s.Gravity, -5);
}

TEST_F(RegistryStore, DataLongerThanFourBytesCountsAsMissing) {
    const unsigned long long eight = 500;
    PutRaw("StarCount", REG_QWORD, &eight, sizeof eight);
    const char text[] = "1000";  // five bytes with its terminator
    PutRaw("Corona", REG_SZ, text, sizeof text);
    DWORD accepted = 9;
    PutRaw("StarSize", REG_DWORD, &accepted, sizeof accepted);

    SaverSettings s = Loaded(store);
    EXPECT_EQ(s.StarCount, 300);
    EXPECT_EQ(s.Corona, 70);
    EXPECT_EQ(s.StarSize, 9);
}

TEST_F(RegistryStore, OutOfRangeDwordsAreRejectedAsUnsigned) {
    DWORD allBits = 0xFFFFFFFFu;
    PutRaw("StarCount", REG_DWORD, &allBits, sizeof allBits);
    PutRaw("Gravity", REG_DWORD, &allBits, sizeof allBits);
    PutRaw("ScrWidth", REG_DWORD, &allBits, sizeof allBits);
    DWORD narrow = 320;
    PutRaw("ScrHeight", REG_DWORD, &narrow, sizeof narrow);

    SaverSettings s = Loaded(store);
    EXPECT_EQ(s.StarCount, 300);
    EXPECT_EQ(s.Gravity, 1);
    EXPECT_EQ(s.ScrWidth, -1);  // no upper bound: all bits set is taken
    EXPECT_EQ(s.ScrHeight, 320);
}

TEST_F(RegistryStore, SystemSaverValuesAreRead) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SystemSaverKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    DWORD delay = 15, threshold = 7;
    RegSetValueExA(key, "Password Delay", 0, REG_DWORD, reinterpret_cast<BYTE*>(&delay), sizeof delay);
    RegSetValueExA(key, "Mouse Threshold", 0, REG_DWORD, reinterpret_cast<BYTE*>(&threshold), sizeof threshold);
    RegCloseKey(key);

    SaverSettings s;
    s.ReadSystemSaverSettings(store);
    EXPECT_EQ(s.PasswordDelay, 15u);
    EXPECT_EQ(s.MouseThreshold, 7);

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SystemSaverKeyPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Password Delay");
    RegDeleteValueA(key, "Mouse Threshold");
    RegCloseKey(key);

    SaverSettings d;
    d.ReadSystemSaverSettings(store);
    EXPECT_EQ(d.PasswordDelay, 1u);
    EXPECT_EQ(d.MouseThreshold, 50);
}

}  // namespace
