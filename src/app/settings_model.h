#pragma once
// The run's settings as a model: typed setters that say which field changed, so that the controls, the
// windows and the player follow the settings instead of being set again by hand after every change.
//
// The model works on the run's settings record (ProgramState::settings), which it does not own: the study's
// session and the player read it directly, and the selection (study type, item, root, II–V–I mode) is
// still written there by the study controller. Everything a control or a settings window changes goes
// through the model.

#include "theory/settings_table.h"

#include <QObject>
#include <cstdint>
#include <type_traits>

namespace orbel {

// The type of the member Member points at, and of one of its elements.
template <auto Member> struct SettingsMember;
template <typename T, T Settings::*Member> struct SettingsMember<Member> {
    using Value = T;
    using Element = typename FieldShape<T>::Element;
};

// Some fields of the table: SettingsFieldSet::Of<&Settings::Tempo, &Settings::SwingOn>().
class SettingsFieldSet {
public:
    template <auto... Members> static constexpr SettingsFieldSet Of() {
        SettingsFieldSet set;
        (set.add(FieldId<Members>), ...);
        return set;
    }
    constexpr SettingsFieldSet& add(SettingsFieldId id) {
        bits_ |= std::uint64_t{1} << static_cast<unsigned>(id);
        return *this;
    }
    constexpr bool contains(SettingsFieldId id) const {
        return ((bits_ >> static_cast<unsigned>(id)) & 1U) != 0;
    }

private:
    static_assert(SettingsFieldCount <= 64);
    std::uint64_t bits_ = 0;
};

// Whether a change of the field reaches a running performance.
bool IsLiveField(SettingsFieldId field);

class SettingsModel final : public QObject {
    Q_OBJECT
public:
    // settings must outlive the model.
    explicit SettingsModel(Settings& settings, QObject* parent = nullptr);

    const Settings& settings() const { return settings_; }

    // Sets the field Member points at; says changed(field) when its value changed, and returns whether it
    // did.
    template <auto Member> bool set(const typename SettingsMember<Member>::Value& value) {
        auto& field = settings_.*Member;
        if (field == value) return false;
        field = value;
        emit changed(FieldId<Member>);
        return true;
    }
    // The same for one element of an array field (IIVIMode, ViewColour, StudyItem).
    template <auto Member>
    bool set(std::size_t index, const typename SettingsMember<Member>::Element& value) {
        auto& element = (settings_.*Member).at(index);
        if (element == value) return false;
        element = value;
        emit changed(FieldId<Member>);
        return true;
    }

    // The same for a member chosen at run time, as from a table of controls.
    template <typename T> bool set(T Settings::*member, const std::type_identity_t<T>& value) {
        auto& field = settings_.*member;
        if (field == value) return false;
        field = value;
        emit changed(SettingsFieldOf(member));
        return true;
    }

    // Takes the fields of `fields` from `from`: a settings window commits its copy this way. One changed()
    // for each field that differs, in the table's order, once every one has been taken.
    void take(const Settings& from, SettingsFieldSet fields);

signals:
    void changed(orbel::SettingsFieldId field);

private:
    Settings& settings_;
};

} // namespace orbel
