#include "linux/options.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings/presets.h"
#include "settings/saver_settings.h"

namespace {

// A saver value given as a number, in the record's units (Gravity -5..5).
struct NumberOption {
    const char* Option;
    const char* Value;
};
const NumberOption NumberOptions[] = {
    {"count", "StarCount"},     {"velocity", "StarVel"},         {"size", "StarSize"},
    {"decay", "DecayRate"},     {"pulsate", "PulsateRate"},      {"shape", "Shape"},
    {"colours", "Colours"},     {"gravity", "Gravity"},          {"origins", "Origins"},
    {"origin-speed", "OriginSpeed"}, {"corona", "Corona"},
};

// A switch: -NAME sets the value to 1, -no-NAME to 0.
struct FlagOption {
    const char* Option;
    const char* Value;
};
const FlagOption FlagOptions[] = {
    {"lens-flare", "LensFlare"},
    {"bounce-bottom", "BounceBottom"},
    {"bounce-top", "BounceTop"},
    {"bounce-sides", "BounceSides"},
};

const char* const Usage =
    "usage: mirrowen [-root | -window | -window-id ID | --wayland | --idle [SECONDS]]\n"
    "                [-geometry WxH[+X+Y]]\n"
    "                [-fps] [-display NAME] [-delay MICROSECONDS]\n"
    "                [-preset NAME] [-count N] [-velocity N] [-size N] [-decay N] [-pulsate N]\n"
    "                [-shape N] [-colours N] [-gravity N] [-origins N] [-origin-speed N] [-corona N]\n"
    "                [-[no-]lens-flare] [-[no-]bounce-bottom] [-[no-]bounce-top] [-[no-]bounce-sides]\n"
    "                [-resolution WxH] [-frames N] [-save-settings]\n"
    "                [-renderer batched|immediate|shader]\n"
    "-delay N: each frame takes at least N microseconds, 0 to 100000 (default 16667,\n"
    "          at most 60 frames a second; 0: as fast as the machine allows)\n"
    "--wayland: draw on every output of the Wayland compositor, above everything\n"
    "          (layer shell; else a fullscreen window on each), e.g. from swayidle:\n"
    "          swayidle timeout 300 'mirrowen --wayland' resume \"pkill -xf 'mirrowen --wayland'\"\n"
    "          (-xf ends that cover only; use an idle daemon or --idle, not both)\n"
    "--idle [SECONDS]: stay running: cover every monitor each time the seat has had\n"
    "          no input for SECONDS (1 to 86400; without a number, the settings file's\n"
    "          IdleTime, else 300), until the next input; in the Wayland session when\n"
    "          there is one ($WAYLAND_DISPLAY, or --wayland), else on the X display;\n"
    "          each cover is a run of its own, with --cover\n"
    "--cover:  one cover as the idle service makes it: every monitor, above every\n"
    "          window, until any input (pointer motion too)\n";

bool ParseInt64(const char* text, int base, std::int64_t* value) {
    if (text == nullptr || text[0] == '\0' || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, base);
    if (errno != 0 || *end != '\0') return false;
    *value = v;
    return true;
}

// "W x H" with positive parts; rest points after the height.
bool ParseSize(const char* text, std::int64_t* width, std::int64_t* height, const char** rest) {
    char* end = nullptr;
    if (!std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    *width = std::strtoll(text, &end, 10);
    if (errno != 0 || (*end != 'x' && *end != 'X') || !std::isdigit(static_cast<unsigned char>(end[1]))) return false;
    *height = std::strtoll(end + 1, &end, 10);
    if (errno != 0) return false;
    *rest = end;
    return true;
}

std::string OptionText(const char* option, const char* value) {
    return std::string("-") + option + " " + value;
}

std::string DefaultText(const StoredSaverValue& entry) {
    SaverSettings defaults;
    SetDefaultSaverValues(defaults);
    return std::to_string(defaults.*entry.Field);
}

std::string AcceptedText(const StoredSaverValue& entry) {
    const std::int64_t low = static_cast<std::int64_t>(entry.Min) - entry.Bias;
    if (entry.Max == 0xFFFFFFFFu) return "at least " + std::to_string(low);
    const std::int64_t high = static_cast<std::int64_t>(entry.Max) - entry.Bias;
    return std::to_string(low) + " to " + std::to_string(high);
}

// Records the value from a number in the record's units, telling when the
// acceptance test will refuse it.
void SetNumber(SaverOptions& options, const StoredSaverValue& entry, const std::string& shown, const char* text,
               std::vector<std::string>* warnings) {
    std::int64_t number = 0;
    if (!ParseInt64(text, 10, &number) || number < INT32_MIN || number > INT32_MAX) {
        options.Values[entry.Name] = std::nullopt;
        warnings->push_back("mirrowen: " + shown + " is not a number; the default " + DefaultText(entry) + " stands");
        return;
    }
    const std::uint32_t stored = static_cast<std::uint32_t>(number) + static_cast<std::uint32_t>(entry.Bias);
    options.Values[entry.Name] = stored;
    SaverSettings scratch;
    if (!AcceptStoredValue(scratch, entry, stored))
        warnings->push_back("mirrowen: " + shown + " rejected (accepted: " + AcceptedText(entry) + "); the default " +
                            DefaultText(entry) + " stands");
}

std::string Folded(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c))) out.push_back(static_cast<char>(std::tolower(c)));
    return out;
}

// "Great balls of fire" as "great-balls-of-fire", the form the options use.
std::string Dashed(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            out.push_back(static_cast<char>(std::tolower(c)));
        else if (!out.empty() && out.back() != '-')
            out.push_back('-');
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out;
}

void ApplyPreset(SaverOptions& options, const PresetRow& row) {
    const struct {
        const char* Name;
        std::int32_t Value;
    } values[] = {
        {"StarVel", row.StarVel},         {"StarSize", row.StarSize},       {"DecayRate", row.DecayRate},
        {"PulsateRate", row.PulsateRate}, {"Gravity", row.Gravity},         {"Colours", row.Colours},
        {"Shape", row.Shape},             {"Origins", row.Origins},         {"OriginSpeed", row.OriginSpeed},
        {"Corona", row.Corona},           {"LensFlare", row.LensFlare},     {"BounceTop", row.BounceTop},
        {"BounceSides", row.BounceSides}, {"BounceBottom", row.BounceBottom}, {"Preset", row.Number},
    };
    for (const auto& v : values) {
        const StoredSaverValue* entry = FindSaverValue(v.Name);
        options.Values[v.Name] = static_cast<std::uint32_t>(v.Value) + static_cast<std::uint32_t>(entry->Bias);
    }
}

struct OverlayKey {
    StoreKey BaseKey;  // null when the base has no such key
    bool SaverKey;
};

bool OverlayOpenForRead(void* context, const char* keyPath, StoreKey* key) {
    const OptionOverlay& overlay = *static_cast<OptionOverlay*>(context);
    const SettingsStore& base = *overlay.Base;
    StoreKey baseKey = nullptr;
    const bool opened = base.OpenKeyForRead(base.Context, keyPath, &baseKey);
    const bool saverKey = std::strcmp(keyPath, SaverKeyPath) == 0 && !overlay.Options->Values.empty();
    if (!opened && !saverKey) return false;
    *key = new OverlayKey{opened ? baseKey : nullptr, saverKey};
    return true;
}

bool OverlayRead(void* context, StoreKey key, const char* name, std::uint32_t* value) {
    const OptionOverlay& overlay = *static_cast<OptionOverlay*>(context);
    const OverlayKey& open = *static_cast<OverlayKey*>(key);
    if (open.SaverKey) {
        auto it = overlay.Options->Values.find(name);
        if (it != overlay.Options->Values.end()) {
            if (!it->second.has_value()) return false;
            *value = *it->second;
            return true;
        }
    }
    if (open.BaseKey == nullptr) return false;
    return overlay.Base->ReadValue(overlay.Base->Context, open.BaseKey, name, value);
}

bool OverlayOpenForWrite(void* context, const char* keyPath, StoreKey* key) {
    const OptionOverlay& overlay = *static_cast<OptionOverlay*>(context);
    StoreKey baseKey = nullptr;
    if (!overlay.Base->OpenKeyForWrite(overlay.Base->Context, keyPath, &baseKey)) return false;
    *key = new OverlayKey{baseKey, false};
    return true;
}

bool OverlayWrite(void* context, StoreKey key, const char* name, std::uint32_t value) {
    const OptionOverlay& overlay = *static_cast<OptionOverlay*>(context);
    return overlay.Base->WriteValue(overlay.Base->Context, static_cast<OverlayKey*>(key)->BaseKey, name, value);
}

void OverlayClose(void* context, StoreKey key) {
    const OptionOverlay& overlay = *static_cast<OptionOverlay*>(context);
    OverlayKey* open = static_cast<OverlayKey*>(key);
    if (open->BaseKey != nullptr) overlay.Base->CloseKey(overlay.Base->Context, open->BaseKey);
    delete open;
}

}  // namespace

const char* SaverOptionsUsage() { return Usage; }

std::int32_t FindPresetByName(const std::string& text) {
    std::int64_t number = 0;
    if (ParseInt64(text.c_str(), 10, &number)) return FindPreset(static_cast<std::int32_t>(number)) ? static_cast<std::int32_t>(number) : 0;
    const std::string wanted = Folded(text);
    if (wanted.empty()) return 0;
    for (const PresetRow& row : PresetTable)
        if (Folded(row.Name) == wanted) return row.Number;
    return 0;
}

bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions& options, std::string* error,
                       std::vector<std::string>* warnings) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') {
            *error = std::string("mirrowen: not an option: ") + arg;
            return false;
        }
        std::string name = arg + 1;
        if (!name.empty() && name[0] == '-') name.erase(0, 1);
        // The option's value, the next argument.
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) return nullptr;
            return argv[++i];
        };
        auto missing = [&]() {
            *error = std::string("mirrowen: missing value after ") + arg;
            return false;
        };

        if (name == "root") {
            options.Target = DrawTarget::Root;
        } else if (name == "window") {
            options.Target = DrawTarget::OwnWindow;
        } else if (name == "window-id") {
            const char* text = value();
            if (text == nullptr) return missing();
            const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
            std::int64_t id = 0;
            if (!ParseInt64(hex ? text + 2 : text, hex ? 16 : 10, &id) || id <= 0 || id > 0xFFFFFFFFll ||
                (hex && text[2] == '-') || text[0] == '-' || text[0] == '+') {
                *error = std::string("mirrowen: -window-id needs a window number (decimal or 0x hex), not ") + text;
                return false;
            }
            options.Target = DrawTarget::WindowId;
            options.WindowId = static_cast<unsigned long>(id);
        } else if (name == "geometry") {
            const char* text = value();
            if (text == nullptr) return missing();
            std::int64_t w = 0, h = 0, x = 0, y = 0;
            const char* rest = nullptr;
            bool ok = ParseSize(text, &w, &h, &rest) && w > 0 && h > 0 && w <= 32767 && h <= 32767;
            if (ok && *rest != '\0') {
                char* end = nullptr;
                ok = (*rest == '+' || *rest == '-');
                if (ok) x = std::strtoll(rest, &end, 10);
                ok = ok && end > rest + 1 && (*end == '+' || *end == '-');
                const char* yText = ok ? end : nullptr;
                if (ok) y = std::strtoll(yText, &end, 10);
                ok = ok && end > yText + 1 && *end == '\0' && x >= -32768 && x <= 32767 && y >= -32768 && y <= 32767;
                options.PositionGiven = ok;
            }
            if (!ok) {
                *error = std::string("mirrowen: -geometry needs WIDTHxHEIGHT[+X+Y], not ") + text;
                return false;
            }
            options.Width = static_cast<int>(w);
            options.Height = static_cast<int>(h);
            options.X = static_cast<int>(x);
            options.Y = static_cast<int>(y);
        } else if (name == "fps") {
            options.ShowFps = true;
        } else if (name == "delay") {
            const char* text = value();
            if (text == nullptr) return missing();
            std::int64_t delay = 0;
            options.DelayGiven = true;
            if (ParseInt64(text, 10, &delay) && delay >= 0 && delay <= MaxFrameDelay) {
                options.Delay = delay;
            } else {
                options.Delay = DefaultFrameDelay;
                warnings->push_back(std::string("mirrowen: -delay ") + text + " rejected (accepted: 0 to " +
                                    std::to_string(MaxFrameDelay) + " microseconds); the default " +
                                    std::to_string(DefaultFrameDelay) + " stands");
            }
        } else if (name == "display") {
            const char* text = value();
            if (text == nullptr) return missing();
            options.DisplayName = text;
        } else if (name == "frames") {
            const char* text = value();
            if (text == nullptr) return missing();
            std::int64_t frames = 0;
            if (!ParseInt64(text, 10, &frames) || frames < 0) {
                *error = std::string("mirrowen: -frames needs a count, not ") + text;
                return false;
            }
            options.Frames = frames;
        } else if (name == "wayland") {
            options.Wayland = true;
        } else if (name == "idle") {
            options.Idle = true;
            options.IdleSeconds = 0;
            // The number is optional: without it the settings file's idle time serves.
            if (i + 1 >= argc || (argv[i + 1][0] == '-' && !std::isdigit(static_cast<unsigned char>(argv[i + 1][1]))))
                continue;
            const char* text = value();
            std::int64_t seconds = 0;
            if (!ParseInt64(text, 10, &seconds) || seconds < 1 || seconds > MaxIdleSeconds) {
                *error = std::string("mirrowen: --idle needs a number of seconds from 1 to ") +
                         std::to_string(MaxIdleSeconds) + ", not " + text;
                return false;
            }
            options.IdleSeconds = seconds;
        } else if (name == "cover") {
            options.Cover = true;
        } else if (name == "renderer") {
            const char* text = value();
            if (text == nullptr) return missing();
            const std::string which = text;
            if (which == "batched") {
                options.Renderer = FrameRenderer::Batched;
            } else if (which == "immediate") {
                options.Renderer = FrameRenderer::Immediate;
            } else if (which == "shader") {
                options.Renderer = FrameRenderer::Shader;
            } else {
                *error = std::string("mirrowen: -renderer needs batched, immediate or shader, not ") + text;
                return false;
            }
        } else if (name == "save-settings") {
            options.SaveSettings = true;
        } else if (name == "help" || name == "h") {
            options.Help = true;
        } else if (name == "preset") {
            const char* text = value();
            if (text == nullptr) return missing();
            const std::int32_t number = FindPresetByName(text);
            if (number == 0) {
                std::string known;
                for (const PresetRow& row : PresetTable) known += (known.empty() ? "" : ", ") + Dashed(row.Name);
                warnings->push_back(std::string("mirrowen: -preset ") + text + ": no such preset (" + known + ")");
            } else {
                ApplyPreset(options, *FindPreset(number));
            }
        } else if (name == "resolution") {
            const char* text = value();
            if (text == nullptr) return missing();
            std::int64_t w = 0, h = 0;
            const char* rest = nullptr;
            const StoredSaverValue& width = *FindSaverValue("ScrWidth");
            const StoredSaverValue& height = *FindSaverValue("ScrHeight");
            if (!ParseSize(text, &w, &h, &rest) || *rest != '\0' || w > INT32_MAX || h > INT32_MAX) {
                options.Values[width.Name] = std::nullopt;
                options.Values[height.Name] = std::nullopt;
                warnings->push_back(std::string("mirrowen: -resolution ") + text +
                                    " is not WIDTHxHEIGHT; the default 640x480 stands");
            } else {
                SetNumber(options, width, std::string("-resolution ") + text + " width",
                          std::to_string(w).c_str(), warnings);
                SetNumber(options, height, std::string("-resolution ") + text + " height",
                          std::to_string(h).c_str(), warnings);
            }
        } else {
            bool known = false;
            for (const NumberOption& n : NumberOptions) {
                if (name != n.Option) continue;
                const char* text = value();
                if (text == nullptr) return missing();
                SetNumber(options, *FindSaverValue(n.Value), OptionText(n.Option, text), text, warnings);
                known = true;
            }
            for (const FlagOption& f : FlagOptions) {
                if (name == f.Option) {
                    options.Values[f.Value] = 1u;
                    known = true;
                } else if (name == std::string("no-") + f.Option) {
                    options.Values[f.Value] = 0u;
                    known = true;
                }
            }
            if (!known) {
                *error = std::string("mirrowen: unknown option ") + arg;
                return false;
            }
        }
    }
    return true;
}

bool IdleInWayland(const SaverOptions& options, const char* waylandDisplay, const char* runtimeDir) {
    if (options.Wayland) return true;
    if (!options.DisplayName.empty() || waylandDisplay == nullptr || waylandDisplay[0] == '\0') return false;
    // A name left behind by an earlier session (the user manager's
    // environment keeps it) names no socket now: that is not this session.
    if (waylandDisplay[0] != '/' && (runtimeDir == nullptr || runtimeDir[0] == '\0')) return true;
    const std::string socket = waylandDisplay[0] == '/' ? waylandDisplay : std::string(runtimeDir) + "/" + waylandDisplay;
    struct stat info;
    return stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

SettingsStore OptionOverlayInterface(OptionOverlay& overlay) {
    return SettingsStore{&overlay, OverlayOpenForRead, OverlayRead, OverlayOpenForWrite, OverlayWrite, OverlayClose};
}
