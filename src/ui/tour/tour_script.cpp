#include "ui/tour/tour_script.h"

#include "sound/midi1.h"
#include "ui/settei.h"
#include "ui/tour/frm_introduce.h"
#include "ui/tour/tour_host.h"
#include "ui/tour/tour_stage.h"

#include <QComboBox>
#include <QPointer>
#include <memory>

namespace orbel {

namespace {

namespace waits {
static constexpr int Explain = 4000;
static constexpr int Blink = 100;
static constexpr int AfterChoice = 1000;
static constexpr int AfterRoot = 500;
static constexpr int Playing = 3000;
static constexpr int Click = 100;
static constexpr int DialogOpens = 400;
static constexpr int DialogShown = 3600;
static constexpr int SwitchesShown = 3500;
static constexpr int ChimeNote = 500;
static constexpr int BeforeNext = 1000;
} // namespace waits

namespace blinks {
static constexpr int Control = 7;
static constexpr int PlayButton = 3;
static constexpr int Still = 5; // steps without blinking, on the views
static constexpr int List = 5;
} // namespace blinks

namespace chime {
static constexpr int First = 53;
static constexpr int Second = 49;
static constexpr int Velocity = 127;
} // namespace chime

// Frames of the main window's controls: the study frame, the play frame and the buttons' frame.
constexpr int StudyFrame = 1;
constexpr int PlayFrame = 2;
constexpr int ButtonFrame = 3;
constexpr ControlTarget Play = tour_targets::PlayButton;
constexpr int ClickSoundForTour = 9;
constexpr int RideCymbal = 6;

// Writes a chapter's steps in the order the tour takes them. The steps outlive the writer, so they hold
// the form and the stage themselves, never the writer.
class ChapterWriter {
public:
    ChapterWriter(frmIntroduce& form, TourStage& stage, QString title)
        : form_(form), stage_(stage), title_(std::move(title)) {}

    TourScript take() { return std::move(script_); }

    void act(std::function<void()> what, int waitMs = 0) { script_.push_back({std::move(what), waitMs}); }
    void wait(int ms) {
        act([] {}, ms);
    }

    // An explanation under the chapter's title; afterwards the main window is put back where it stood.
    void explain(const QString& text, int waitMs = waits::Explain) {
        act([f = &form_, title = title_, text] { f->ShowSetumei(title, text); }, waitMs);
        if (waitMs > 1) act([s = &stage_] { s->restorePlace(); });
    }
    void point(TourTarget target, int steps = blinks::Control, int frame = StudyFrame) {
        act([s = &stage_, target] { s->pointAt(target); });
        for (int count = 0; count <= steps; ++count)
            act([s = &stage_, frame, shown = count % 2 == 1] { s->blink(frame, shown); }, waits::Blink);
    }
    void pointAtPlay() { point(Play, blinks::PlayButton, PlayFrame); }
    void click(TourTarget target) {
        press([s = &stage_, target] { s->click(target); });
    }
    // The marker lights up red, then how presses what it points at.
    void press(std::function<void()> how) {
        act([s = &stage_] { s->fillMarker(true); }, waits::Click);
        act([s = &stage_, how = std::move(how)] {
            s->fillMarker(false);
            s->hideMarker();
            how();
        });
    }
    void clickSound(int waitMs) {
        act([s = &stage_] { s->host().midi().MidiClick(); }, waitMs);
    }
    // A list of the main window set as the user would choose it, with the click and a pause.
    void choose(Control list, int index, bool withClick = true) {
        point(ControlTarget{list});
        act([s = &stage_, list, index] { s->setList(list, index); });
        if (withClick)
            clickSound(waits::AfterChoice);
        else
            wait(waits::AfterChoice);
    }
    void check(Control box, bool on) {
        act([s = &stage_, box, on] { s->setCheck(box, on); });
    }
    // The play button pressed for one play-through; the script goes on once it has ended, and not
    // before the usual wait.
    void play() {
        pointAtPlay();
        press([s = &stage_] { s->clickPlay(); });
        script_.push_back({[] {}, waits::Playing, [s = &stage_] { return s->host().playerBusy(); }});
    }
    void rootName(int pitchClass, bool nudged, int steps, int waitMs) {
        const RootNameTarget name{pitchClass, nudged};
        point(name, steps, tour_frames::None);
        click(name);
        clickSound(waitMs);
    }
    // A dialog shown for a while with its buttons held, then closed.
    template <typename Open, typename Close>
    void showDialog(Open open, Close close, int opensMs, int shownMs) {
        auto dialog = std::make_shared<QPointer<QDialog>>();
        act([dialog, open] { *dialog = open(); }, opensMs);
        act([s = &stage_, dialog] { s->holdButtons(*dialog, true); }, shownMs);
        act([s = &stage_, dialog, close] {
            s->holdButtons(*dialog, false);
            if (*dialog) close(**dialog);
        });
    }
    void end(const QString& nextTitle) {
        act([f = &form_] { f->ShowSetumei(QString(), tour_texts::StartOrEnd); }, waits::BeforeNext);
        act([f = &form_, nextTitle] { f->ShowSetumei(nextTitle, tour_texts::StartOrEnd); });
        AppendChime(script_, stage_);
    }

    TourStage& stage() { return stage_; }

private:
    frmIntroduce& form_;
    TourStage& stage_;
    QString title_;
    TourScript script_;
};

void CloseKeeping(QDialog& dialog) {
    if (auto* settings = qobject_cast<settei*>(&dialog))
        settings->closeKeepingChanges();
    else
        dialog.close();
}

TourScript General(ChapterWriter w) {
    TourHost& window = w.stage().host();
    w.explain(QStringLiteral("まず学習する項目を選びます"));
    w.point(ControlTarget{Control::StudyTypeList});
    for (int type = 0; type < 4; ++type) {
        w.act([&stage = w.stage(), type] { stage.setList(Control::StudyTypeList, type); });
        w.clickSound(waits::AfterChoice);
    }
    w.explain(QStringLiteral("演奏速度を選びます"));
    w.point(ControlTarget{Control::TempoBox});
    w.explain(QStringLiteral("【スイング】をマークするとスイングします"));
    w.point(ControlTarget{Control::SwingBox});
    w.check(Control::SwingBox, true);
    w.wait(waits::AfterChoice);
    w.check(Control::SwingBox, false);
    w.explain(QStringLiteral("ルート（根音）を変える場合は、記号文字をクリックします"));
    for (int root : {1, 2, 3})
        w.rootName(root, true, blinks::Still, waits::AfterRoot);
    w.explain(QStringLiteral("鍵盤をクリックすると音が出ます"));
    for (int key : {32, 36, 39, 43}) {
        w.point(KeyTarget{key}, blinks::Still, tour_frames::None);
        w.click(KeyTarget{key});
    }
    w.wait(2000);
    w.explain(QStringLiteral("音のＯＮ－ＯＦＦ設定は、【補足設定】をクリックします"));
    w.point(ControlTarget{Control::SwitchesButton}, blinks::Control, ButtonFrame);
    w.click(ControlTarget{Control::SwitchesButton});
    // The switches window opened from the button's click; asking for it again finds that one.
    w.showDialog([&window] { return window.showSoundSwitches(); }, [](QDialog& d) { d.close(); },
                 waits::AfterRoot, waits::SwitchesShown);
    w.explain(QStringLiteral("サウンドの設定をを変える場合は、メニュー＞【サウンド設定】をクリックします\n\n"
                             "移調楽器の設定はこの画面でおこないます。"));
    w.showDialog([&window]() -> QDialog* { return window.showSoundSettings(); }, CloseKeeping,
                 waits::DialogOpens, waits::DialogShown);
    w.explain(QStringLiteral("画面のカラーを変える場合は、メニュー＞【表示色設定】をクリックします"));
    w.showDialog([&window]() -> QDialog* { return window.showColourSettings(); },
                 [](QDialog& d) { d.close(); }, waits::DialogOpens, waits::DialogShown);
    w.end(QStringLiteral("次はスケール（音階）の操作方法です"));
    return w.take();
}

TourScript Scale(ChapterWriter w) {
    w.explain(QStringLiteral("学習別　から【スケール】を選びます"));
    w.choose(Control::StudyTypeList, 0);
    w.explain(QStringLiteral("スケールの種類を選びます　ここでは【メジャースケール】を選んでみます"));
    w.choose(Control::ItemList, 0);
    w.check(Control::SwingBox, false);
    w.explain(QStringLiteral("プレイボタンをクリックすると演奏します"));
    w.play();
    w.explain(QStringLiteral("ルート（根音）をＧに変えてみます"));
    w.rootName(7, false, blinks::Still, waits::AfterChoice);
    w.play();
    w.explain(QStringLiteral("Ｇメジャースケールができました"));
    w.end(QStringLiteral("次はコード（和音）の操作方法です"));
    return w.take();
}

TourScript Chord(ChapterWriter w) {
    w.explain(QStringLiteral("学習別　から【コード】を選びます"));
    w.choose(Control::StudyTypeList, 1);
    w.explain(QStringLiteral("コードの種類を選びます　ここでは【メジャー７】を選んでみます"));
    w.choose(Control::ItemList, 0);
    w.explain(QStringLiteral("プレイボタンをクリックすると演奏します"));
    w.play();
    w.explain(QStringLiteral("ルート（根音）をＤに変えてみます"));
    w.rootName(2, false, 1, 2000);
    w.play();
    w.explain(QStringLiteral("Ｄメジャー７の構成音でした。"));
    w.end(QStringLiteral("次はⅡⅤⅠのデジタルパターンの操作方法です"));
    return w.take();
}

TourScript DigitalPattern(ChapterWriter w) {
    w.explain(QStringLiteral("学習別　から【ⅡⅤⅠパターン】を選びます"));
    w.choose(Control::StudyTypeList, 2);
    w.choose(Control::TreatmentList, 0);
    w.explain(QStringLiteral("パターンの種類を選びます　ここでは【1-3-5-7】を選んでみます"));
    w.choose(Control::ItemList, 2);
    w.explain(QStringLiteral("プレイボタンをクリックすると演奏します"));
    w.play();
    w.explain(QStringLiteral("Ｖ７あしらいをを【ｺﾝﾋﾞﾈｰｼｮﾝ・ｵﾌﾞ・ﾃﾞｨﾐﾆｯｼｭ】に変えてみます"));
    w.choose(Control::TreatmentList, 1);
    w.play();
    w.explain(QStringLiteral("コンデミを使ったⅡⅤⅠの1-3-5-7パターンです"));
    w.end(QStringLiteral("次は ⅡⅤⅠ のフレーズ操作方法です"));
    return w.take();
}

TourScript Phrase(ChapterWriter w) {
    TourHost& window = w.stage().host();
    w.check(Control::SwingBox, false);
    w.explain(QStringLiteral("学習別　から【ⅡⅤⅠフレーズ】を選びます"));
    w.choose(Control::StudyTypeList, 3, false);
    w.explain(QStringLiteral("パターンの種類を選びます　ここでは【HOT1】を選んでみます"));
    w.choose(Control::ItemList, 0, false);
    w.explain(QStringLiteral("プレイボタンをクリックすると演奏します"));
    w.play();
    w.explain(QStringLiteral("雰囲気を出すため、クリック音をライドシンバルに変更します"));
    // The click list of the sound settings is set in the open window and blinks, so the user sees where.
    auto dialog = std::make_shared<QPointer<settei>>();
    w.act(
        [&stage = w.stage(), &window, dialog] {
            *dialog = window.showSoundSettings();
            stage.holdButtons(*dialog, true);
        },
        waits::AfterChoice);
    auto clickList = [dialog]() -> QComboBox* {
        return *dialog ? (*dialog)->findChild<QComboBox*>(QStringLiteral("Combo4")) : nullptr;
    };
    w.act([clickList] {
        if (QComboBox* list = clickList()) {
            list->setCurrentIndex(RideCymbal);
            emit list->activated(RideCymbal);
        }
    });
    for (int i = 0; i < blinks::List; ++i) {
        w.act(
            [clickList] {
                if (QComboBox* list = clickList()) list->hide();
            },
            waits::Blink);
        w.act(
            [clickList] {
                if (QComboBox* list = clickList()) list->show();
            },
            waits::Blink);
    }
    w.wait(3000);
    w.act(
        [&stage = w.stage(), dialog] {
            stage.holdButtons(*dialog, false);
            if (*dialog) (*dialog)->closeKeepingChanges();
        },
        waits::AfterChoice);
    w.explain(QStringLiteral("スイングして演奏します"));
    w.point(ControlTarget{Control::SwingBox});
    w.check(Control::SwingBox, true);
    w.wait(waits::AfterChoice);
    w.play();
    w.explain(QStringLiteral("パターン【HOT29】を選んでみます"));
    w.choose(Control::ItemList, 28, false);
    w.play();
    w.end(tour_texts::LastTitle);
    return w.take();
}

} // namespace

void AppendChime(TourScript& script, TourStage& stage) {
    for (int pitch : {chime::First, chime::Second}) {
        script.push_back({[&stage, pitch] {
                              stage.host().midi().MidiNoteOnConcert(midi_channels::Melody, pitch,
                                                                    chime::Velocity);
                          },
                          waits::ChimeNote});
        script.push_back(
            {[&stage, pitch] { stage.host().midi().MidiNoteOffConcert(midi_channels::Melody, pitch); }, 0});
    }
}

TourScript ChapterScript(int chapter, frmIntroduce& form, TourStage& stage) {
    static const QString Titles[tour_chapters::Count] = {
        QStringLiteral("一般的な説明"), QStringLiteral("１．スケール（音階）の練習"),
        QStringLiteral("２．コード（和音）の練習"), QStringLiteral("３．ⅡⅤⅠのデジタルパターン練習"),
        QStringLiteral("４．ⅡⅤⅠのフレーズ練習")};
    if (chapter < 1 || chapter > tour_chapters::Count) return {};
    ChapterWriter writer(form, stage, Titles[chapter - 1]);
    TourHost& window = stage.host();
    auto setClick = [&window] { window.setClickSound(ClickSoundForTour); };
    TourScript script;
    switch (chapter) {
    case 1:
        // The chapter clicks on the views: the plain keyboard shows the keys it presses.
        script.push_back({[&stage, setClick] {
                              setClick();
                              stage.setCheck(Control::EntryDisplayBox, false);
                          },
                          0});
        for (TourStep& step : General(std::move(writer)))
            script.push_back(std::move(step));
        script.push_back({[&stage] { stage.setCheck(Control::EntryDisplayBox, true); }, 0});
        return script;
    case 2:
        return Scale(std::move(writer));
    case 3:
        return Chord(std::move(writer));
    case 4:
        return DigitalPattern(std::move(writer));
    default:
        script = Phrase(std::move(writer));
        script.push_back({setClick, 0});
        return script;
    }
}

} // namespace orbel
