#pragma once
// Fixed texts of the play actions.
// Thread: any thread (constant texts).

#include <QString>

namespace orbel::play_texts {

inline const QString UnexpectedError = QStringLiteral("想定外のエラーが発生しました。");
// Begins with an ideographic space.
inline const QString NoFavourites = QStringLiteral("　お気に入りフレーズがありません！！");

} // namespace orbel::play_texts
