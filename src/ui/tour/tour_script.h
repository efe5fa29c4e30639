#pragma once
// The tour as a list of steps: each does something to the windows at once and then lets the given time
// pass, during which the program plays and redraws and the user may still act. A step may hold its wait on
// for as long as something lasts (a play-through the script waits for).

#include <QString>
#include <functional>
#include <vector>

namespace orbel {

class frmIntroduce;
class TourStage;

struct TourStep {
    std::function<void()> act;
    int waitMs = 0;
    // After waitMs, the wait goes on while this holds.
    std::function<bool()> holdWhile = {};
};
using TourScript = std::vector<TourStep>;

namespace tour_texts {
inline const QString OfferTitle = QStringLiteral("デモンストレーションを開始しますか？");
inline const QString OfferText =
    QStringLiteral("メインメニュー＞ファイル＞デモンストレーション実行　からも実行可能です\n"
                   "開始する場合は【開始】を押してください");
inline const QString StartOrEnd = QStringLiteral("【開始】または【終了】をクリックします");
inline const QString LastTitle = QStringLiteral("デモンストレーションを終了します");
} // namespace tour_texts

namespace tour_chapters {
static constexpr int Count = 5;
} // namespace tour_chapters

// The steps of chapter 1..5: its explanations, pointing, clicks and waits, ending with the invitation to
// go on and the chime.
TourScript ChapterScript(int chapter, frmIntroduce& form, TourStage& stage);

// The chime that closes a chapter (and greets the user when the tour opens).
void AppendChime(TourScript& script, TourStage& stage);

} // namespace orbel
