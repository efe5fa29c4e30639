#pragma once
// Fixed texts of the main window and of start-up and shutdown.

#include <QString>

namespace orbel::captions {

inline const QString ProgramName = QStringLiteral("ＯＲＢＥＬ！");
inline const QString AlreadyRunning = QStringLiteral("ＯＲＢＥＬ！は既に起動しています。");
inline const QString QuitQuestion = QStringLiteral("　　終了してよろしいですか？　　");
inline const QString ResetQuestion = QStringLiteral(
    "　　初期状態に戻してから終了してよろしいですか？\n　　いったん終了しますので再起動してください");
inline const QString FactoryFileUnreadable = QStringLiteral(
    "出荷状態の設定ファイル【cfg_org.infdat】が見つからないか壊れているため、初期状態に戻せません。");
inline const QString FileMissing = QStringLiteral("ファイル【%1】が見つかりません。");
inline const QString NoProgramToOpen = QStringLiteral("ファイル【%1】を開くプログラムが見つかりません。");
inline const QString CannotOpen = QStringLiteral("ファイル【%1】を開けませんでした。");
inline const QString RestartToApply =
    QStringLiteral("設定後、ＯＲＢＥＬ！を再起動すると変更が有効になります。");
inline const QString CannotStart = QStringLiteral("【%1】を起動できませんでした。");
inline const QString FontFailed =
    QStringLiteral("音符フォント【ZEPHMUSIC.ttf】 のインストールに失敗しました。");
inline const QString NoPerformanceCounter =
    QStringLiteral("ハードウェアが高分解能パフォーマンスカウンタをサポートしていないため測定できません！");
inline const QString VersionInfo = QStringLiteral("Ver1.9.9a　  2013.3.9");
inline const QString FormFontName = QStringLiteral("ＭＳ 明朝");

} // namespace orbel::captions
