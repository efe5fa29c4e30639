#include "app/settings_fields.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <span>
#include <variant>

namespace orbel {

namespace {

// A named field points at one value or at an array of values of one type.
using FieldRef = std::variant<std::int16_t*, bool*, std::int32_t*, std::uint32_t*, float*, std::string*,
                              std::span<std::int16_t>, std::span<std::int32_t>, std::span<std::uint32_t>>;

struct NamedField {
    const char* name;
    FieldRef ref;
};

std::vector<NamedField> Fields(Settings& s) {
    return {
        {"UserFilePath", &s.UserFilePath},
        {"RootKey", &s.RootKey},
        {"RootProgression", &s.RootProgression},
        {"TransposeSemitones", &s.TransposeSemitones},
        {"MelodyProgram", &s.MelodyProgram},
        {"SoundOnChange", &s.SoundOnChange},
        {"PitchBaseC", &s.PitchBaseC},
        {"StudyType", &s.StudyType},
        {"IIVIMode", std::span<std::int16_t>(s.IIVIMode)},
        {"ViewColour", std::span<std::uint32_t>(s.ViewColour)},
        {"Tempo", &s.Tempo},
        {"ShowScore", &s.ShowScore},
        {"ShowDiagram", &s.ShowDiagram},
        {"ShowKeyboard", &s.ShowKeyboard},
        {"RepeatCount", &s.RepeatCount},
        {"RepeatOn", &s.RepeatOn},
        {"ConcertPitchPlay", &s.ConcertPitchPlay},
        {"EntryDisplay", &s.EntryDisplay},
        {"SwingOn", &s.SwingOn},
        {"RangeLimitOn", &s.RangeLimitOn},
        {"RangeHigh", &s.RangeHigh},
        {"RangeLow", &s.RangeLow},
        {"CountInOn", &s.CountInOn},
        {"ClickOn", &s.ClickOn},
        {"SwingLevel", &s.SwingLevel},
        {"ChordProgram", &s.ChordProgram},
        {"AccompanimentOn", &s.AccompanimentOn},
        {"StudyItem", std::span<std::int16_t>(s.StudyItem)},
        {"ClickSound", &s.ClickSound},
        {"BassSound", &s.BassSound},
        {"MelodyOn", &s.MelodyOn},
        {"MelodyVolume", &s.MelodyVolume},
        {"ChordVolume", &s.ChordVolume},
        {"ClickVolume", &s.ClickVolume},
        {"BassVolume", &s.BassVolume},
        {"UpDown", &s.UpDown},
        {"HideDemoOffer", &s.HideDemoOffer},
        {"KeyboardSetsRoot", &s.KeyboardSetsRoot},
    };
}

// Joins pieces of a message; plain string concatenation trips a false -Wrestrict in GCC 12.
std::string Say(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

template <typename T> bool ParseNumber(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

template <typename T> std::string AssignNumber(T& target, std::string_view value) {
    T parsed{};
    if (!ParseNumber(value, parsed)) return Say({"'", value, "' is not a number that fits this field"});
    target = parsed;
    return {};
}

// A switch as the record spells it: 1 (or -1 for the view switches and SoundOnChange) or 0.
std::string Assign(bool* target, std::string_view value) {
    std::int16_t parsed = 0;
    if (!ParseNumber(value, parsed) || parsed < -1 || parsed > 1)
        return "a switch is 1 or -1 (on) or 0 (off)";
    *target = parsed != 0;
    return {};
}

std::string Assign(std::string* target, std::string_view value) {
    *target = std::string(value);
    return {};
}
template <typename T> std::string Assign(T* target, std::string_view value) {
    return AssignNumber(*target, value);
}

} // namespace

std::string SetSettingsField(Settings& s, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) return "expected Field=Value";
    std::string_view name = assignment.substr(0, equals);
    const std::string_view value = assignment.substr(equals + 1);

    int index = -1;
    if (const std::size_t open = name.find('('); open != std::string_view::npos) {
        if (name.back() != ')' || !ParseNumber(name.substr(open + 1, name.size() - open - 2), index) ||
            index < 0)
            return Say({"bad index in '", name, "'"});
        name = name.substr(0, open);
    }

    for (const NamedField& field : Fields(s)) {
        if (name != field.name) continue;
        return std::visit(
            [&](auto ref) -> std::string {
                using Ref = decltype(ref);
                if constexpr (std::is_pointer_v<Ref>) {
                    if (index >= 0) return Say({field.name, " takes no index"});
                    return Assign(ref, value);
                } else {
                    if (index < 0 || index >= static_cast<int>(ref.size()))
                        return Say({field.name, " needs an index 0..", std::to_string(ref.size() - 1)});
                    return AssignNumber(ref[static_cast<std::size_t>(index)], value);
                }
            },
            field.ref);
    }
    return Say({"no settings field named '", name, "'"});
}

std::vector<std::string> SettingsFieldNames() {
    Settings scratch;
    std::vector<std::string> names;
    for (const NamedField& field : Fields(scratch)) {
        const bool indexed =
            !std::holds_alternative<std::int16_t*>(field.ref) && !std::holds_alternative<bool*>(field.ref) &&
            !std::holds_alternative<std::int32_t*>(field.ref) &&
            !std::holds_alternative<std::uint32_t*>(field.ref) &&
            !std::holds_alternative<float*>(field.ref) && !std::holds_alternative<std::string*>(field.ref);
        names.push_back(Say({field.name, indexed ? "(i)" : ""}));
    }
    return names;
}

} // namespace orbel
