// The settings windows edit a copy: nothing of what waits for OK reaches the settings model before it, Cancel
// drops the copy, and OK commits it with one notice for each field it changed.

#include "support/trainer_fixture.h"
#include "ui/frm_colset.h"
#include "ui/settei.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

namespace orbel {
namespace {

class SettingsDialogsTest : public testing::TrainerFixture {
protected:
    void SetUp() override {
        copyFiles({"ZEPHMUSIC.ttf", "scale.txt", "code.txt", "ptn.txt", "ric.txt", "AUX1.txt"});
        settings = FactorySettings();
        settings.HideDemoOffer = true;
        start();
        QObject::connect(&trainer->window->settingsModel(), &SettingsModel::changed,
                         [this](SettingsFieldId field) { heard.push_back(field); });
    }
    const Settings& now() const { return trainer->state.settings; }
    template <typename T> T* in(QWidget* form, const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    std::vector<SettingsFieldId> heard;
};

TEST_F(SettingsDialogsTest, SoundSettingsCommitTheirCopyAtOkAndDropItAtCancel) {
    const Settings before = now();
    settei* form = trainer->window->menus().showSoundSettings();
    in<QLineEdit>(form, "Text3")->setText(QStringLiteral("48")); // the note of the lowest C
    in<QCheckBox>(form, "Check1")->click();                      // sound on every change
    EXPECT_TRUE(heard.empty());
    in<QPushButton>(form, "Command2")->click(); // キャンセル
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(now(), before);

    ASSERT_EQ(trainer->window->menus().showSoundSettings(), form); // the same window, with a fresh copy
    EXPECT_EQ(in<QLineEdit>(form, "Text3")->text(), QStringLiteral("36"));
    EXPECT_FALSE(in<QCheckBox>(form, "Check1")->isChecked());
    in<QLineEdit>(form, "Text3")->setText(QStringLiteral("48"));
    in<QCheckBox>(form, "Check1")->click();
    in<QPushButton>(form, "Command1")->click(); // OK
    EXPECT_EQ(heard, (std::vector{FieldId<&Settings::SoundOnChange>, FieldId<&Settings::PitchBaseC>}));
    EXPECT_EQ(now().PitchBaseC, 48);
    EXPECT_TRUE(now().SoundOnChange);
}

TEST_F(SettingsDialogsTest, ColourSettingsCommitTheirCopyAtOkAndDropItAtCancel) {
    const Settings before = now();
    FrmColset* form = trainer->window->menus().showColourSettings();
    prompter.colours = {0x00123456};
    in<QPushButton>(form, "Picture1_2")->click();
    EXPECT_EQ(form->boxColour(2), 0x00123456U);
    EXPECT_TRUE(heard.empty());
    in<QPushButton>(form, "Command1")->click(); // キャンセル
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(now(), before);

    ASSERT_EQ(trainer->window->menus().showColourSettings(), form);
    EXPECT_EQ(form->boxColour(2), before.ViewColour[2]);
    prompter.colours = {0x00123456};
    in<QPushButton>(form, "Picture1_2")->click();
    in<QPushButton>(form, "Command2")->click(); // O K
    EXPECT_EQ(heard, std::vector{FieldId<&Settings::ViewColour>});
    EXPECT_EQ(now().ViewColour[2], 0x00123456U);
}

} // namespace
} // namespace orbel
