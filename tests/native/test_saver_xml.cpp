// mirrowen.xml, the settings description XScreenSaver builds its dialog
// from: every command line it can produce must parse without a rejected
// value, and its lists must match the presets, shapes and colour schemes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "linux/options.h"
#include "settings/memory_store.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"

namespace {

std::string XmlText() {
    std::ifstream in(MIRROWEN_XML);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each element <name ...> with its attributes.
std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& name) {
    std::vector<std::map<std::string, std::string>> out;
    const std::regex element("<" + name + "\\s([^>]*)>");
    const std::regex attribute("([A-Za-z_-]+)=\"([^\"]*)\"");
    for (auto e = std::sregex_iterator(xml.begin(), xml.end(), element); e != std::sregex_iterator(); ++e) {
        std::map<std::string, std::string> attributes;
        const std::string body = (*e)[1];
        for (auto a = std::sregex_iterator(body.begin(), body.end(), attribute); a != std::sregex_iterator(); ++a)
            attributes[(*a)[1]] = (*a)[2];
        out.push_back(attributes);
    }
    return out;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

struct Outcome {
    bool Ok;
    std::string Error;
    std::vector<std::string> Warnings;
    SaverSettings Record;
    std::int64_t Delay;
};

Outcome RunOptions(const std::string& commandLine) {
    std::vector<std::string> words = Words(commandLine);
    words.insert(words.begin(), "mirrowen");
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    Outcome o;
    SaverOptions options;
    o.Ok = ParseSaverOptions(static_cast<int>(argv.size()), argv.data(), options, &o.Error, &o.Warnings);
    o.Delay = options.Delay;
    MemoryStore empty;
    const SettingsStore base = MemoryStoreInterface(empty);
    OptionOverlay overlay{&base, &options};
    o.Record.LoadSettings(OptionOverlayInterface(overlay));
    return o;
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    text.replace(text.find(what), what.size(), with);
    return text;
}

// The option of each slider (in the --name form XScreenSaver 6 writes) and
// the record field it must reach.
const std::map<std::string, std::int32_t SaverSettings::*> SliderFields = {
    {"--count", &SaverSettings::StarCount},   {"--velocity", &SaverSettings::StarVel},
    {"--size", &SaverSettings::StarSize},     {"--decay", &SaverSettings::DecayRate},
    {"--pulsate", &SaverSettings::PulsateRate}, {"--gravity", &SaverSettings::Gravity},
    {"--origins", &SaverSettings::Origins},   {"--origin-speed", &SaverSettings::OriginSpeed},
    {"--corona", &SaverSettings::Corona},
};

}  // namespace

TEST(SaverXml, EveryCommandLineItCanProduceParses) {
    const std::string xml = XmlText();
    ASSERT_FALSE(xml.empty());

    const auto commands = Elements(xml, "command");
    ASSERT_EQ(commands.size(), 1u);
    Outcome o = RunOptions(commands[0].at("arg"));
    EXPECT_TRUE(o.Ok) << o.Error;

    const auto numbers = Elements(xml, "number");
    EXPECT_EQ(numbers.size(), SliderFields.size() + 1);  // and the frame rate
    for (const auto& n : numbers) {
        const std::string arg = n.at("arg");
        const std::string option = Words(arg).at(0);
        if (option == "--delay") {
            // Not a saver value: microseconds a frame takes, the slider inverted.
            for (const char* end : {"low", "high", "default"}) {
                o = RunOptions(Replace(arg, "%", n.at(end)));
                EXPECT_TRUE(o.Ok && o.Warnings.empty()) << arg << " " << n.at(end) << " " << o.Error;
                EXPECT_EQ(o.Delay, std::stoll(n.at(end))) << arg << " " << n.at(end);
            }
            EXPECT_EQ(std::stoll(n.at("default")), DefaultFrameDelay);
            continue;
        }
        ASSERT_EQ(SliderFields.count(option), 1u) << arg;
        for (const char* end : {"low", "high", "default"}) {
            const std::string value = n.at(end);
            o = RunOptions(Replace(arg, "%", value));
            EXPECT_TRUE(o.Ok && o.Warnings.empty()) << arg << " " << value << " " << o.Error;
            EXPECT_EQ(o.Record.*SliderFields.at(option), std::stoi(value)) << arg << " " << value;
        }
        // The slider's default is the built-in default.
        SaverSettings defaults;
        SetDefaultSaverValues(defaults);
        EXPECT_EQ(std::stoi(n.at("default")), defaults.*SliderFields.at(option)) << arg;
    }

    int switches = 0;
    for (const auto& b : Elements(xml, "boolean")) {
        for (const char* kind : {"arg-set", "arg-unset"}) {
            if (b.count(kind) == 0) continue;
            ++switches;
            o = RunOptions(b.at(kind));
            EXPECT_TRUE(o.Ok && o.Warnings.empty()) << b.at(kind) << " " << o.Error;
        }
    }
    EXPECT_EQ(switches, 5);  // lens flare, three bounces, the frame rate

    int choices = 0;
    for (const auto& option : Elements(xml, "option")) {
        if (option.count("arg-set") == 0) continue;
        ++choices;
        o = RunOptions(option.at("arg-set"));
        EXPECT_TRUE(o.Ok && o.Warnings.empty()) << option.at("arg-set") << " " << o.Error;
    }
    // Colours 5, shapes 10, resolutions 3 besides their defaults, presets 8.
    EXPECT_EQ(choices, 5 + 10 + 3 + 8);
}

TEST(SaverXml, ListsMatchTheDialogs) {
    const std::string xml = XmlText();
    std::map<std::string, std::string> labelOf;  // arg-set -> label
    std::vector<std::string> labels;
    for (const auto& option : Elements(xml, "option")) {
        labels.push_back(option.at("_label"));
        if (option.count("arg-set")) labelOf[option.at("arg-set")] = option.at("_label");
    }
    auto hasLabel = [&](const std::string& label) {
        return std::find(labels.begin(), labels.end(), label) != labels.end();
    };
    for (std::size_t i = 0; i < ShapeNameCount; ++i) {
        EXPECT_TRUE(hasLabel(std::string("Star shapes: ") + ShapeNames[i])) << ShapeNames[i];
        if (i != 7) {
            EXPECT_EQ(labelOf["--shape " + std::to_string(i)], std::string("Star shapes: ") + ShapeNames[i]);
        }
    }
    for (std::size_t i = 0; i < ColourNameCount; ++i) {
        EXPECT_TRUE(hasLabel(std::string("Colour scheme: ") + ColourNames[i])) << ColourNames[i];
        if (i != 0) {
            EXPECT_EQ(labelOf["--colours " + std::to_string(i)], std::string("Colour scheme: ") + ColourNames[i]);
        }
    }
    for (const Resolution& r : ResolutionList)
        EXPECT_TRUE(hasLabel("Resolution: " + std::to_string(r.Width) + " x " + std::to_string(r.Height)));
    // Each preset entry applies the preset it names.
    int presets = 0;
    for (const auto& [arg, label] : labelOf) {
        if (arg.rfind("--preset ", 0) != 0) continue;
        ++presets;
        const Outcome o = RunOptions(arg);
        const PresetRow* row = FindPreset(o.Record.Preset);
        ASSERT_NE(row, nullptr) << arg;
        EXPECT_EQ(label, std::string("Presets: ") + row->Name);
        EXPECT_EQ(o.Record.Corona, row->Corona);
    }
    EXPECT_EQ(presets, 8);
}
