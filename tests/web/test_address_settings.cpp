// The page's address: stored names and numbers, clamped into range, the
// preset under the values, and a query that reads back the same.
#include <gtest/gtest.h>

#include "settings/presets.h"
#include "web/address_settings.h"
#include "web/panel_state.h"

namespace {

struct Read {
    SaverSettings Settings;
    PageOptions Page;
};

Read ReadQuery(const std::string& query) {
    Read r;
    ReadAddress(query, r.Settings, r.Page);
    return r;
}

TEST(AddressSettings, StoredNamesAndNumbersClampedIntoRange) {
    const Read defaults = ReadQuery("");
    EXPECT_EQ(defaults.Settings.StarCount, 300);
    EXPECT_EQ(defaults.Settings.Gravity, 1);
    EXPECT_EQ(defaults.Page.FrameDelay, 16667);
    EXPECT_FALSE(defaults.Page.Saver);
    EXPECT_EQ(defaults.Page.Frames, -1);

    // Out of range: clamped, where a stored value would be dropped.
    EXPECT_EQ(ReadQuery("?StarCount=10").Settings.StarCount, 100);
    EXPECT_EQ(ReadQuery("StarCount=2000").Settings.StarCount, 2000);
    EXPECT_EQ(ReadQuery("StarCount=99999999999999999999").Settings.StarCount, 2000);
    EXPECT_EQ(ReadQuery("Gravity=0").Settings.Gravity, -5);  // stored 0..10
    EXPECT_EQ(ReadQuery("Gravity=-3").Settings.Gravity, -5);
    EXPECT_EQ(ReadQuery("Gravity=12").Settings.Gravity, 5);
    EXPECT_EQ(ReadQuery("DecayRate=0").Settings.DecayRate, 1);
    EXPECT_EQ(ReadQuery("ScrWidth=320").Settings.ScrWidth, 321);
    EXPECT_EQ(ReadQuery("ScrWidth=5000000000").Settings.ScrWidth, INT32_MAX);
    EXPECT_EQ(ReadQuery("LensFlare=7").Settings.LensFlare, 7);
    EXPECT_EQ(ReadQuery("FrameDelay=200000").Page.FrameDelay, 100000);
    EXPECT_EQ(ReadQuery("FrameDelay=0").Page.FrameDelay, 0);

    // Not a whole number, an unknown or a misspelt name: left out.
    EXPECT_EQ(ReadQuery("StarCount=12x&StarCount=&Stars=900&starcount=900").Settings.StarCount, 300);
    // The later of two wins; form encoding is read.
    EXPECT_EQ(ReadQuery("StarCount=500&StarCount=%37%30%30").Settings.StarCount, 700);

    const Read page = ReadQuery("saver=1&seed=1000000000&frames=150&dump=1&stats");
    EXPECT_TRUE(page.Page.Saver);
    EXPECT_TRUE(page.Page.SeedGiven);
    EXPECT_EQ(page.Page.Seed, 1000000000);
    EXPECT_EQ(page.Page.Frames, 150);
    EXPECT_TRUE(page.Page.Dump);
    EXPECT_TRUE(page.Page.Stats);
    EXPECT_FALSE(ReadQuery("saver=0").Page.Saver);
}

TEST(AddressSettings, PresetUnderTheValuesAndQueriesReadBack) {
    // Preset 4 ("Fireball"): its values, then StarSize over them wherever it stands.
    const Read r = ReadQuery("StarSize=3&Preset=4&StarCount=2000");
    const PresetRow& fireball = *FindPreset(4);
    EXPECT_EQ(r.Settings.Preset, 4);
    EXPECT_EQ(r.Settings.Gravity, fireball.Gravity);
    EXPECT_EQ(r.Settings.Shape, fireball.Shape);
    EXPECT_EQ(r.Settings.StarSize, 3);
    EXPECT_EQ(r.Settings.StarCount, 2000);
    EXPECT_EQ(ReadQuery("Preset=9").Settings.Preset, 1);
    EXPECT_EQ(ReadQuery("Preset=9").Settings.StarVel, 4);

    EXPECT_EQ(AddressQuery(ReadQuery("").Settings, ReadQuery("").Page), "");
    EXPECT_EQ(AddressQuery(r.Settings, r.Page), "Preset=4&StarCount=2000&StarSize=3");
    for (const char* query : {"Preset=4&StarCount=2000&StarSize=3", "Preset=1", "Gravity=0&LensFlare=1&saver=1",
                              "Preset=8&Shape=0&FrameDelay=0&seed=5&frames=10&dump=1", "NativeResolution=1&ScrWidth=800"}) {
        const Read first = ReadQuery(query);
        const Read again = ReadQuery(AddressQuery(first.Settings, first.Page));
        for (const StoredSaverValue& rule : SaverValues)
            EXPECT_EQ(first.Settings.*rule.Field, again.Settings.*rule.Field) << query << ": " << rule.Name;
        EXPECT_EQ(AddressQuery(first.Settings, first.Page), AddressQuery(again.Settings, again.Page)) << query;
    }
}

TEST(AddressSettings, PanelValuesStayInTheDialogsRanges) {
    SaverSettings s;
    SetDefaultSaverValues(s);
    EXPECT_TRUE(SetPanelValue(s, "StarCount", 5000));
    EXPECT_EQ(s.StarCount, 2000);
    EXPECT_TRUE(SetPanelValue(s, "Gravity", -9));
    EXPECT_EQ(s.Gravity, -5);
    EXPECT_TRUE(SetPanelValue(s, "Corona", 100));
    EXPECT_EQ(s.Corona, 100);
    EXPECT_TRUE(SetPanelValue(s, "BounceTop", 3));
    EXPECT_EQ(s.BounceTop, 1);
    EXPECT_TRUE(SetPanelValue(s, "Shape", 11));
    EXPECT_EQ(s.Shape, 10);
    EXPECT_FALSE(SetPanelValue(s, "ScrWidth", 800));
    EXPECT_EQ(s.ScrWidth, 640);
    PageOptions page;
    const std::string json = PanelStateJson(s, page);
    EXPECT_NE(json.find("{\"name\":\"StarCount\",\"label\":\"Number of Stars\",\"min\":100,\"max\":2000,\"step\":100,"
                        "\"value\":2000}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"query\":\"BounceTop=1&StarCount=2000&Gravity=0&Shape=10&Corona=100\""), std::string::npos)
        << json;
}

}  // namespace
