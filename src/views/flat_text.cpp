#include "views/flat_text.h"

namespace orbel {

namespace {

constexpr double FirstFlatAdvance = 1.2; // after a flat that starts the text, in letter widths
constexpr double FlatPullBack = 0.4;     // a later flat moves this far towards the letter before it
constexpr double LaterFlatAdvance = 1.4; // and is followed this far after its start
const QString FlatSign = QStringLiteral("♭");

} // namespace

std::vector<TextPiece> LayOutFlatText(double x, const QString& text,
                                      const std::function<double(const QString&)>& width) {
    if (!text.contains(QLatin1Char('b'))) return {{x, text}};
    const double letter = width(QStringLiteral("b"));
    std::vector<TextPiece> pieces;
    double p = x;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString c = text.mid(i, 1);
        if (c != QLatin1String("b")) {
            pieces.push_back({p, c});
            p += width(c);
        } else if (i == 0) {
            pieces.push_back({p, FlatSign});
            p += FirstFlatAdvance * letter;
        } else {
            p -= FlatPullBack * letter;
            pieces.push_back({p, FlatSign});
            p += LaterFlatAdvance * letter;
        }
    }
    return pieces;
}

} // namespace orbel
