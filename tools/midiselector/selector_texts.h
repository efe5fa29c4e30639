#pragma once
// Fixed texts of the MIDI output chooser.

#include <QString>

namespace orbel::selector_texts {

inline const QString Title = QStringLiteral("MIDI出力の選択");
inline const QString Prompt = QStringLiteral("音を出す先を選んでください。");
inline const QString SynthEntry = QStringLiteral("内蔵シンセサイザー（%1）");
inline const QString PortEntry = QStringLiteral("MIDIポート（%1）");
inline const QString DamagedMark = QStringLiteral("　（壊れています）");
inline const QString InUseMark = QStringLiteral("　← 使用中");
inline const QString NothingFound = QStringLiteral("使えるMIDI出力が見つかりません。");
inline const QString NoSoundFont = QStringLiteral("%1 にSoundFont（.sf2/.sf3）がありません。");
inline const QString NoPorts = QStringLiteral("MIDIポートは見つかりません。");
inline const QString NoSequencer =
    QStringLiteral("ALSAシーケンサーを使えないため、MIDIポートは表示できません。");
inline const QString InUseNotListed = QStringLiteral("いま使っている出力（%1）は一覧にありません。");
inline const QString OverriddenBy =
    QStringLiteral("環境変数 %1 が設定されているため、トレーナーはここでの選択ではなくそちらを使います。");
inline const QString Test = QStringLiteral("テスト");
inline const QString Ok = QStringLiteral("O K");
inline const QString Cancel = QStringLiteral("キャンセル");
inline const QString CannotOpen = QStringLiteral("この出力を開けませんでした。\n\n%1");
inline const QString PlayingInstead = QStringLiteral("選んだ出力の代わりの出力で鳴らします。\n\n%1");
inline const QString CannotWrite = QStringLiteral("選択を保存できませんでした。\n%1\n\n%2");

} // namespace orbel::selector_texts
