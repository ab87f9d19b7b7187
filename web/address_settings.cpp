#include "web/address_settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/frame_delay.h"
#include "settings/presets.h"

namespace {

struct Pair {
    std::string Name;
    std::string Value;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Form encoding: '+' is a blank, %XX a byte.
std::string Decoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out.push_back(' ');
        } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<Pair> Pairs(const std::string& query) {
    std::vector<Pair> pairs;
    std::size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string part = query.substr(start, end - start);
        const std::size_t equals = part.find('=');
        if (!part.empty()) {
            if (equals == std::string::npos)
                pairs.push_back(Pair{Decoded(part), ""});
            else
                pairs.push_back(Pair{Decoded(part.substr(0, equals)), Decoded(part.substr(equals + 1))});
        }
        start = end + 1;
    }
    return pairs;
}

// A whole decimal number, optionally negative, with nothing around it;
// numbers beyond 64 bits count as their end of the range.
bool WholeNumber(const std::string& text, std::int64_t* value) {
    const char* digits = text.c_str() + (!text.empty() && text[0] == '-' ? 1 : 0);
    if (*digits < '0' || *digits > '9') return false;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0') return false;
    *value = parsed;  // strtoll gives the range's end on overflow
    return true;
}

std::int64_t Clamped(std::int64_t value, std::int64_t low, std::int64_t high) {
    return value < low ? low : value > high ? high : value;
}

// A stored number clamped into the value's acceptance range, and no higher
// than a field can hold as a positive number.
void SetClamped(SaverSettings& s, const StoredSaverValue& rule, std::int64_t stored) {
    const std::int64_t high = rule.Max > static_cast<std::uint32_t>(INT32_MAX) ? INT32_MAX : rule.Max;
    const std::int64_t taken = Clamped(stored, rule.Min, high);
    s.*rule.Field = static_cast<std::int32_t>(taken - rule.Bias);
}

std::int64_t Stored(const SaverSettings& s, const StoredSaverValue& rule) {
    return static_cast<std::int64_t>(s.*rule.Field) + rule.Bias;
}

bool Switch(const std::string& value) { return value == "1" || value == "true" || value == "yes" || value.empty(); }

}  // namespace

void ReadAddress(const std::string& query, SaverSettings& s, PageOptions& page) {
    SetDefaultSaverValues(s);
    page = PageOptions{};
    const std::vector<Pair> pairs = Pairs(query);

    // The preset first, so that the values given beside it win.
    for (const Pair& p : pairs) {
        std::int64_t number = 0;
        if (p.Name != "Preset" || !WholeNumber(p.Value, &number)) continue;
        const PresetRow* row = number >= 1 && number <= static_cast<std::int64_t>(PresetCount)
                                   ? FindPreset(static_cast<std::int32_t>(number))
                                   : nullptr;
        if (row == nullptr) continue;
        ApplyPresetRow(s, *row);
        s.Preset = row->Number;
    }
    for (const Pair& p : pairs) {
        std::int64_t number = 0;
        const bool isNumber = WholeNumber(p.Value, &number);
        if (p.Name == "Preset") continue;
        if (const StoredSaverValue* rule = FindSaverValue(p.Name.c_str())) {
            if (isNumber) SetClamped(s, *rule, number);
        } else if (p.Name == FrameDelayValueName) {
            if (isNumber) page.FrameDelay = Clamped(number, 0, MaxFrameDelay);
        } else if (p.Name == "saver") {
            page.Saver = Switch(p.Value);
        } else if (p.Name == "seed" && isNumber) {
            page.SeedGiven = true;
            page.Seed = number;
        } else if (p.Name == "frames" && isNumber) {
            page.Frames = number < 0 ? -1 : number;
        } else if (p.Name == "dump") {
            page.Dump = Switch(p.Value);
        } else if (p.Name == "stats") {
            page.Stats = Switch(p.Value);
        }
    }
}

std::string AddressQuery(const SaverSettings& s, const PageOptions& page) {
    SaverSettings base;
    SetDefaultSaverValues(base);
    std::string query;
    auto add = [&query](const std::string& name, std::int64_t value) {
        query += (query.empty() ? "" : "&") + name + "=" + std::to_string(value);
    };
    // Preset 1 is also the marker of the defaults: without it in the address
    // the values are compared with the defaults, which reads back the same.
    if (const PresetRow* row = FindPreset(s.Preset); row != nullptr && s.Preset != base.Preset) {
        ApplyPresetRow(base, *row);
        base.Preset = s.Preset;
        add("Preset", s.Preset);
    }
    for (const StoredSaverValue& rule : SaverValues) {
        if (std::strcmp(rule.Name, "Preset") == 0) continue;
        if (s.*rule.Field != base.*rule.Field) add(rule.Name, Stored(s, rule));
    }
    if (page.FrameDelay != DefaultFrameDelay) add(FrameDelayValueName, page.FrameDelay);
    if (page.Saver) add("saver", 1);
    if (page.SeedGiven) add("seed", page.Seed);
    if (page.Frames >= 0) add("frames", page.Frames);
    if (page.Dump) add("dump", 1);
    if (page.Stats) add("stats", 1);
    return query;
}
