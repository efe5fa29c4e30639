#include "app/os_version.h"

#include <QRegularExpression>
#include <QSysInfo>

namespace orbel {

float ParseOsVersion(const char* text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(text));
    if (!match.hasMatch()) return 0;
    return QStringLiteral("%1.%2")
        .arg(match.captured(1), match.captured(2).isEmpty() ? QStringLiteral("0") : match.captured(2))
        .toFloat();
}

float CurrentOsVersion() {
    return ParseOsVersion(QSysInfo::kernelVersion().toLatin1().constData());
}

} // namespace orbel
