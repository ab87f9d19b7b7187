#include "web/panel_state.h"

#include <cstring>

#include "settings/presets.h"

namespace {

// The panel's labels, those of the settings dialog.
struct Label {
    const char* Name;
    const char* Text;
};
constexpr Label Labels[] = {
    {"StarCount", "Number of Stars"},      {"StarVel", "Star Velocity"},
    {"Gravity", "Gravity"},                {"StarSize", "Star size"},
    {"DecayRate", "Decay rate"},           {"PulsateRate", "Pulsate speed"},
    {"Origins", "Number of Origins"},      {"OriginSpeed", "Origin Speed"},
    {"Corona", "Corona brightness"},       {"Shape", "Star shapes"},
    {"Colours", "Colour scheme"},          {"LensFlare", "Draw lens-flare"},
    {"BounceBottom", "Bounce at the Bottom of the Screen"},
    {"BounceTop", "Bounce at the Top of the Screen"},
    {"BounceSides", "Bounce at the Sides of the Screen"},
};
constexpr const char* Switches[] = {"LensFlare", "BounceBottom", "BounceTop", "BounceSides"};

const char* LabelOf(const char* name) {
    for (const Label& l : Labels)
        if (std::strcmp(l.Name, name) == 0) return l.Text;
    return name;
}

const StoredSaverValue* ValueOfField(std::int32_t SaverSettings::*field) {
    for (const StoredSaverValue& rule : SaverValues)
        if (rule.Field == field) return &rule;
    return nullptr;
}

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') out.push_back('\\');
        out.push_back(*p);
    }
    return out + "\"";
}

std::string NameList(const char* const* names, std::size_t count) {
    std::string out = "[";
    for (std::size_t i = 0; i < count; ++i) out += (i ? "," : "") + Quoted(names[i]);
    return out + "]";
}

// A slider's range in the record's units.
struct Range {
    int Min, Max, Step;
};
Range SliderRange(const SliderBinding& b) {
    return Range{SliderValue(b.Min, b.Divisor, b.Offset), SliderValue(b.Max, b.Divisor, b.Offset), b.Divisor};
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

std::string PanelStateJson(const SaverSettings& s, const PageOptions& page) {
    std::string json = "{\"saver\":" + std::string(page.Saver ? "true" : "false");
    json += ",\"query\":" + Quoted(AddressQuery(s, page).c_str());
    json += ",\"preset\":" + std::to_string(s.Preset) + ",\"presets\":[";
    for (std::size_t i = 0; i < PresetCount; ++i) json += (i ? "," : "") + Quoted(PresetTable[i].Name);
    json += "],\"shapes\":" + NameList(ShapeNames, ShapeNameCount);
    json += ",\"colours\":" + NameList(ColourNames, ColourNameCount);
    json += ",\"shape\":" + std::to_string(s.Shape) + ",\"colour\":" + std::to_string(s.Colours);
    json += ",\"sliders\":[";
    for (std::size_t i = 0; i < DialogSliderCount; ++i) {
        const SliderBinding& b = DialogSliders[i];
        const char* name = ValueOfField(b.Field)->Name;
        const Range r = SliderRange(b);
        json += std::string(i ? "," : "") + "{\"name\":" + Quoted(name) + ",\"label\":" + Quoted(LabelOf(name)) +
                ",\"min\":" + std::to_string(r.Min) + ",\"max\":" + std::to_string(r.Max) +
                ",\"step\":" + std::to_string(r.Step) + ",\"value\":" + std::to_string(s.*b.Field) + "}";
    }
    json += "],\"switches\":[";
    for (std::size_t i = 0; i < sizeof Switches / sizeof Switches[0]; ++i) {
        const StoredSaverValue* rule = FindSaverValue(Switches[i]);
        json += std::string(i ? "," : "") + "{\"name\":" + Quoted(rule->Name) + ",\"label\":" +
                Quoted(LabelOf(rule->Name)) + ",\"value\":" + (s.*rule->Field != 0 ? "true" : "false") + "}";
    }
    json += "],\"labels\":{\"Preset\":\"Presets\",\"Shape\":" + Quoted(LabelOf("Shape")) +
            ",\"Colours\":" + Quoted(LabelOf("Colours")) + "}}";
    return json;
}

bool SetPanelValue(SaverSettings& s, const std::string& name, int value) {
    for (const SliderBinding& b : DialogSliders) {
        if (name != ValueOfField(b.Field)->Name) continue;
        const Range r = SliderRange(b);
        s.*b.Field = Clamp(value, r.Min, r.Max);
        return true;
    }
    for (const char* sw : Switches) {
        if (name != sw) continue;
        s.*FindSaverValue(sw)->Field = value != 0 ? 1 : 0;
        return true;
    }
    if (name == "Shape") {
        s.Shape = Clamp(value, 0, static_cast<int>(ShapeNameCount) - 1);
        return true;
    }
    if (name == "Colours") {
        s.Colours = Clamp(value, 0, static_cast<int>(ColourNameCount) - 1);
        return true;
    }
    return false;
}
