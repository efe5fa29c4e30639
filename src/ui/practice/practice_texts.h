#pragma once
// The practice window's words.

namespace orbel::practice_texts {

static constexpr const char* MenuItem = "練習設定";
static constexpr const char* Title = "練習設定";
static constexpr const char* RampGroup = "テンポアップ練習";
static constexpr const char* RampOn = "繰り返すたびにテンポを上げる";
static constexpr const char* RampStep = "上げる";
static constexpr const char* RampEvery = "ごとに";
static constexpr const char* RampCeiling = "上限";
static constexpr const char* RampRestart = "上限の次は最初のテンポから";
static constexpr const char* RampReset = "開始テンポに戻す";
static constexpr const char* CheckGroup = "弾いてチェック";
static constexpr const char* CheckOn = "MIDI キーボードの演奏を採点する";
static constexpr const char* InputPort = "入力";
static constexpr const char* Window = "許容ずれ ±";
static constexpr const char* AnyOctave = "オクターブ違いも正解";
static constexpr const char* MuteMelody = "旋律を消す";
static constexpr const char* ChartGroup = "このセッション（棒: 正解率　線: テンポ）";
static constexpr const char* NewSession = "新しいセッション";
static constexpr const char* SavePng = "PNG で保存...";
static constexpr const char* SavePngTitle = "グラフを PNG で保存";
static constexpr const char* CannotSavePng = "グラフを保存できません: %1";
static constexpr const char* CannotSaveSettings = "練習設定を保存できません: %1";
static constexpr const char* Close = "閉じる";
static constexpr const char* Ms = " ms";
static constexpr const char* Bpm = " BPM";
static constexpr const char* Times = " 回";

static constexpr const char* NoInput = "MIDI 入力ポートがありません。キーボードをつなぐと採点できます。";
static constexpr const char* Listening = "「%1」を聴いています。";
static constexpr const char* Vanished = "MIDI 入力「%1」が外れました。採点を止めました。";
static constexpr const char* CannotOpen = "MIDI 入力「%1」を開けません。";
static constexpr const char* ChartEmpty =
    "弾いてチェックをオンにして再生すると、繰り返しごとの正解率がここに出ます。";

// One repetition's score.
static constexpr const char* ScoreLine = "%1/%2 正解　ミス %3　余分 %4　違う音 %5　%6";
static constexpr const char* Late = "平均 %1 ms 遅れ";
static constexpr const char* Early = "平均 %1 ms 先走り";
static constexpr const char* OnTime = "ぴったり";
static constexpr const char* NoTiming = "タイミング —";

} // namespace orbel::practice_texts
