#pragma once
// The settings fields, each said once: its name, where it sits in the 316-byte record cfg.infdat, its load
// rule, its factory value, whether a running performance takes a change of it at once ("live") and whether
// it can be set by name (--set Field=Value; the reserved fields cannot). The record's codec, the load rules,
// the factory record, the named fields, what the player is handed and the settings model's field ids are all
// walked from this one table (ForEachSettingsField), in its order, which is the record's.

#include "theory/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace orbel {

// A field's value: one element, or an array of elements of one type. The text of field 0 is one element.
template <typename T> struct FieldShape {
    using Element = T;
    static constexpr std::size_t Count = 1;
    static constexpr bool IsArray = false;
};
template <typename E, std::size_t N> struct FieldShape<std::array<E, N>> {
    using Element = E;
    static constexpr std::size_t Count = N;
    static constexpr bool IsArray = true;
};
template <std::size_t N> struct FieldShape<std::array<char, N>> {
    using Element = std::array<char, N>;
    static constexpr std::size_t Count = 1;
    static constexpr bool IsArray = false;
};

// Element i of a field's value (the value itself when it is not an array).
template <typename T> constexpr auto& ElementOf(T& value, [[maybe_unused]] std::size_t i) {
    if constexpr (FieldShape<std::remove_const_t<T>>::IsArray) {
        return value[i];
    } else {
        return value;
    }
}

// The bytes an element takes in the record: a switch is a 16-bit number there.
template <typename E> inline constexpr std::size_t RecordBytesOf = std::is_same_v<E, bool> ? 2 : sizeof(E);

// What a load does with a field's value.
struct LoadRule {
    enum class Kind : std::uint8_t { None, Clamp, Fixed };
    Kind kind = Kind::None;
    double low = 0;  // Clamp: the range low..high (a NaN takes the factory value first); Fixed: the value
    double high = 0; // Clamp only
};

template <typename T> struct SettingsField {
    using Value = T;
    using Shape = FieldShape<T>;
    using Element = typename Shape::Element;
    // The factory value; the working path has none but the empty text.
    using Factory = std::conditional_t<std::is_same_v<T, std::string>, std::string_view, T>;

    std::string_view name;
    T Settings::*member = nullptr;
    // Where each element sits in the record; the working path of field 0 is not in it.
    bool inRecord = false;
    std::array<std::int16_t, Shape::Count> offsets{};
    // A switch's true as the record spells it (1, or −1); false is 0.
    std::int16_t trueForm = 1;
    LoadRule rule{};
    Factory factoryValue{};
    bool isLive = false;
    bool isNamed = true;

    // The table's words.
    constexpr SettingsField clampTo(double low, double high) const {
        static_assert(std::is_arithmetic_v<Element> && !std::is_same_v<Element, bool>);
        SettingsField f = *this;
        f.rule = {LoadRule::Kind::Clamp, low, high};
        return f;
    }
    constexpr SettingsField alwaysSetTo(double value) const {
        static_assert(std::is_arithmetic_v<Element> && !std::is_same_v<Element, bool>);
        SettingsField f = *this;
        f.rule = {LoadRule::Kind::Fixed, value, value};
        return f;
    }
    constexpr SettingsField factory(Factory value) const {
        SettingsField f = *this;
        f.factoryValue = value;
        return f;
    }
    constexpr SettingsField live() const {
        SettingsField f = *this;
        f.isLive = true;
        return f;
    }
    constexpr SettingsField reserved() const {
        SettingsField f = *this;
        f.isNamed = false;
        return f;
    }
    constexpr SettingsField trueAsMinusOne() const {
        static_assert(std::is_same_v<T, bool>);
        SettingsField f = *this;
        f.trueForm = -1;
        return f;
    }
    constexpr SettingsField elementsAt(std::array<std::int16_t, Shape::Count> at) const {
        SettingsField f = *this;
        f.offsets = at;
        return f;
    }
};

// A field of the record, its elements one after another from offset.
template <typename T>
constexpr SettingsField<T> Field(std::string_view name, T Settings::*member, int offset) {
    SettingsField<T> f;
    f.name = name;
    f.member = member;
    f.inRecord = true;
    for (std::size_t i = 0; i < f.offsets.size(); ++i)
        f.offsets[i] =
            static_cast<std::int16_t>(offset + i * RecordBytesOf<typename SettingsField<T>::Element>);
    return f;
}
// A field the record does not hold.
template <typename T> constexpr SettingsField<T> Field(std::string_view name, T Settings::*member) {
    SettingsField<T> f;
    f.name = name;
    f.member = member;
    return f;
}

template <std::size_t N> constexpr std::array<char, N> BlankText() {
    std::array<char, N> text{};
    text.fill(' ');
    return text;
}

// Colours are 0x00BBGGRR: the circle's disk, inside the scale polygon, the root, the chord's elements, the
// note being played; the keyboard's marked keys and the key being played.
inline constexpr std::array<std::uint32_t, settings_limits::ColourSwatches> FactoryColours{
    0x00DCF8FF, 0x00FFE6C8, 0x008CA0FF, 0x00AAE6AA, 0x0000E6FF, 0x00FFC896, 0x00008CFF};

// Every field in the record's order. A field with no factory value says so by saying none (0, off, blank).
inline constexpr auto SettingsTable = std::tuple{
    // Field 0 exactly as read or to be written, and its working copy (see settings_file.h).
    Field("UserFileField", &Settings::UserFileField, 0)
        .factory(BlankText<settings_limits::UserFileFieldBytes>())
        .reserved(),
    Field("UserFilePath", &Settings::UserFilePath),
    Field("RootKey", &Settings::RootKey, 130).clampTo(0, 11),
    Field("RootProgression", &Settings::RootProgression, 132),
    Field("TransposeSemitones", &Settings::TransposeSemitones, 134).clampTo(-20, 20).live(),
    // The melody instrument is kept as its entry in the instrument list (41 entries), not as a program.
    Field("MelodyProgram", &Settings::MelodyProgram, 136).clampTo(1, 41).factory(1).live(), // piano
    Field("SoundOnChange", &Settings::SoundOnChange, 138).trueAsMinusOne(),
    // Pitch 24 (3C) sounds as MIDI 60, middle C.
    Field("PitchBaseC", &Settings::PitchBaseC, 140).clampTo(0, 120).factory(36).live(),
    Field("StudyType", &Settings::StudyType, 142).clampTo(0, 4),
    Field("IIVIMode", &Settings::IIVIMode, 144),
    // Swatch 6 sits before swatch 5 in the record.
    Field("ViewColour", &Settings::ViewColour, 148)
        .elementsAt({148, 152, 156, 160, 164, 172, 168})
        .factory(FactoryColours),
    Field("Reserved17", &Settings::Reserved17, 176).reserved(),
    // The tempo has no load rule: the main window starts a stored tempo outside its bar within it.
    Field("Tempo", &Settings::Tempo, 200).factory(120).live(),
    Field("ShowScore", &Settings::ShowScore, 202).trueAsMinusOne().factory(true).live(),
    Field("ShowDiagram", &Settings::ShowDiagram, 204).trueAsMinusOne().factory(true).live(),
    Field("ShowKeyboard", &Settings::ShowKeyboard, 206).trueAsMinusOne().factory(true).live(),
    Field("Reserved27", &Settings::Reserved27, 208).alwaysSetTo(1).factory(1).reserved(),
    Field("RepeatCount", &Settings::RepeatCount, 210).clampTo(1, 100).factory(4).live(),
    Field("RepeatOn", &Settings::RepeatOn, 212).factory(true).live(),
    Field("ConcertPitchPlay", &Settings::ConcertPitchPlay, 214).live(),
    Field("Reserved31", &Settings::Reserved31, 216).alwaysSetTo(0).reserved(),
    Field("Reserved32", &Settings::Reserved32, 218).reserved(),
    Field("EntryDisplay", &Settings::EntryDisplay, 220),
    Field("SwingOn", &Settings::SwingOn, 222).live(),
    Field("RangeLimitOn", &Settings::RangeLimitOn, 224),
    Field("RangeHigh", &Settings::RangeHigh, 226).clampTo(1, 71).factory(60),
    Field("RangeLow", &Settings::RangeLow, 228).clampTo(1, 71).factory(12),
    Field("CountInOn", &Settings::CountInOn, 230).factory(true).live(),
    Field("ClickOn", &Settings::ClickOn, 232).factory(true).live(),
    Field("SwingLevel", &Settings::SwingLevel, 234).factory(1).live(),
    Field("ChordProgram", &Settings::ChordProgram, 236).factory(1).live(),
    Field("AccompanimentOn", &Settings::AccompanimentOn, 238).factory(true).live(),
    Field("StudyItem", &Settings::StudyItem, 240),
    Field("ClickSound", &Settings::ClickSound, 262).live(),
    Field("BassSound", &Settings::BassSound, 264).live(),
    Field("MelodyOn", &Settings::MelodyOn, 266).factory(true).live(),
    Field("Reserved47", &Settings::Reserved47, 268).reserved(),
    Field("MelodyVolume", &Settings::MelodyVolume, 270).factory(100).live(),
    Field("ChordVolume", &Settings::ChordVolume, 272).factory(80).live(),
    Field("ClickVolume", &Settings::ClickVolume, 274).factory(90).live(),
    Field("BassVolume", &Settings::BassVolume, 276).factory(100).live(),
    Field("Reserved52", &Settings::Reserved52, 278).alwaysSetTo(0).reserved(),
    Field("UpDown", &Settings::UpDown, 280),
    // On: the tour is not offered at start-up.
    Field("HideDemoOffer", &Settings::HideDemoOffer, 282),
    Field("KeyboardSetsRoot", &Settings::KeyboardSetsRoot, 284),
    Field("Reserved56", &Settings::Reserved56, 286).reserved(),
    Field("Reserved57", &Settings::Reserved57, 288).clampTo(-50, 50).reserved(),
    Field("Reserved58", &Settings::Reserved58, 292).reserved(),
};

inline constexpr std::size_t SettingsFieldCount =
    std::tuple_size_v<std::remove_cvref_t<decltype(SettingsTable)>>;
template <std::size_t I> using SettingsFieldAt = std::remove_cvref_t<decltype(std::get<I>(SettingsTable))>;

// A field of the table, by its place in it.
enum class SettingsFieldId : std::uint8_t {};

// Calls visit(field, index) for every field in the table's order; index is a std::integral_constant of the
// field's place, so that a visitor can use it at compile time.
template <typename Visit> constexpr void ForEachSettingsField(Visit&& visit) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (visit(std::get<I>(SettingsTable), std::integral_constant<std::size_t, I>{}), ...);
    }
    (std::make_index_sequence<SettingsFieldCount>{});
}

// The table writes each field's name beside its member: no two fields share a name or a member, so that a
// name copied from the line above cannot set or report another field.
constexpr bool SettingsNamesAndMembersAreDistinct() {
    std::array<std::string_view, SettingsFieldCount> names{};
    ForEachSettingsField(
        [&names](const auto& field, auto index) { names[decltype(index)::value] = field.name; });
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (names[i].empty() || names[i] == names[j]) return false;
    bool distinct = true;
    ForEachSettingsField([&distinct](const auto& a, auto i) {
        ForEachSettingsField([&distinct, &a](const auto& b, auto j) {
            if constexpr (std::is_same_v<decltype(a.member), decltype(b.member)> &&
                          decltype(i)::value < decltype(j)::value)
                distinct = distinct && a.member != b.member;
        });
    });
    return distinct;
}
static_assert(SettingsNamesAndMembersAreDistinct());

// The place of field I's switch in RecordSpelling: how many switches come before it.
template <std::size_t I> constexpr std::size_t SwitchSlot() {
    return []<std::size_t... J>(std::index_sequence<J...>) {
        return (std::size_t{0} + ... + (std::is_same_v<typename SettingsFieldAt<J>::Value, bool> ? 1 : 0));
    }
    (std::make_index_sequence<I>{});
}
static_assert(SwitchSlot<SettingsFieldCount>() == settings_limits::Switches);

// The id of the field that member points at (&Settings::Tempo); SettingsFieldCount for none.
template <typename T> constexpr SettingsFieldId SettingsFieldOf(T Settings::*member) {
    std::size_t found = SettingsFieldCount;
    ForEachSettingsField([&found, member](const auto& field, auto index) {
        if constexpr (std::is_same_v<decltype(field.member), T Settings::*>) {
            if (field.member == member) found = decltype(index)::value;
        }
    });
    return SettingsFieldId(found);
}
// The same known at compile time: a member the table lacks does not compile.
template <auto Member> consteval SettingsFieldId CheckedSettingsField() {
    const SettingsFieldId id = SettingsFieldOf(Member);
    if (static_cast<std::size_t>(id) == SettingsFieldCount) throw "not a field of the settings table";
    return id;
}
template <auto Member> inline constexpr SettingsFieldId FieldId = CheckedSettingsField<Member>();

// The field's name ("Tempo"), for messages.
constexpr std::string_view SettingsFieldName(SettingsFieldId id) {
    std::string_view name;
    ForEachSettingsField([&](const auto& field, auto index) {
        if (decltype(index)::value == static_cast<std::size_t>(id)) name = field.name;
    });
    return name;
}

} // namespace orbel
