#pragma once
// Window thread. The main window's controls by role, and the object name each one goes by: the name the
// window tests, the tour, the control map and the desktop tests find it by. The code holds a control by
// its role; only this table knows the names.

#include <array>
#include <cstddef>

namespace orbel {

enum class Control {
    StudyFrame,
    PlayFrame,
    SoundFrame,
    StudyTypeList,
    ItemList,
    KeyModeLabel,
    KeyModeList,
    TreatmentLabel,
    TreatmentList,
    FavouriteBox,
    UpDownBox,
    TempoLabel,
    TempoBox,
    TempoBar,
    SwingBox,
    PlayButton,
    StopButton,
    RepeatBox,
    RepeatCountList,
    SemitoneUpOption,
    SemitoneDownOption,
    FourthOption,
    SameRootOption,
    RootUpButton,
    RootDownButton,
    OctaveUpButton,
    OctaveDownButton,
    PracticeButton,
    SwitchesButton,
    MetronomeButton,
    ReferenceBFlatButton,
    ReferenceAButton,
    PlayOnceButton,
    QuitButton,
    KeyboardRootBox,
    ConcertPitchBox,
    EntryDisplayBox,
    RepeatLabel,
};

namespace control_names {

struct Entry {
    Control role;
    const char* objectName;
};

static constexpr std::array Table{
    Entry{Control::StudyFrame, "Frame1"},
    Entry{Control::PlayFrame, "Frame2"},
    Entry{Control::SoundFrame, "Frame3"},
    Entry{Control::StudyTypeList, "Combo2"},
    Entry{Control::ItemList, "Combo1"},
    Entry{Control::KeyModeLabel, "Label4"},
    Entry{Control::KeyModeList, "Combo3"},
    Entry{Control::TreatmentLabel, "Label5"},
    Entry{Control::TreatmentList, "Combo4"},
    Entry{Control::FavouriteBox, "Check8"},
    Entry{Control::UpDownBox, "Check9"},
    Entry{Control::TempoLabel, "LabelTempo"},
    Entry{Control::TempoBox, "Text1"},
    Entry{Control::TempoBar, "VScroll1"},
    Entry{Control::SwingBox, "Check6"},
    Entry{Control::PlayButton, "Command5"},
    Entry{Control::StopButton, "Command9"},
    Entry{Control::RepeatBox, "Check2"},
    Entry{Control::RepeatCountList, "Combo5"},
    Entry{Control::SemitoneUpOption, "Option1_0"},
    Entry{Control::SemitoneDownOption, "Option1_1"},
    Entry{Control::FourthOption, "Option1_2"},
    Entry{Control::SameRootOption, "Option1_3"},
    Entry{Control::RootUpButton, "Command3"},
    Entry{Control::RootDownButton, "Command4"},
    Entry{Control::OctaveUpButton, "Command11_0"},
    Entry{Control::OctaveDownButton, "Command11_1"},
    Entry{Control::PracticeButton, "CommandPractice"},
    Entry{Control::SwitchesButton, "Command10"},
    Entry{Control::MetronomeButton, "Command7"},
    Entry{Control::ReferenceBFlatButton, "Command2"},
    Entry{Control::ReferenceAButton, "Command8"},
    Entry{Control::PlayOnceButton, "Command6"},
    Entry{Control::QuitButton, "Command1"},
    Entry{Control::KeyboardRootBox, "Check1"},
    Entry{Control::ConcertPitchBox, "Check3"},
    Entry{Control::EntryDisplayBox, "Check5"},
    Entry{Control::RepeatLabel, "Label7"},
};

// The table lists the roles in their order, so a role's entry is found by its number.
static_assert([] {
    for (std::size_t i = 0; i < Table.size(); ++i)
        if (static_cast<std::size_t>(Table[i].role) != i) return false;
    return true;
}());

} // namespace control_names

constexpr const char* ObjectName(Control role) {
    return control_names::Table[static_cast<std::size_t>(role)].objectName;
}

} // namespace orbel
