#include "ui/private_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace orbel {

bool PrivateFont::install(const QString& path, const QString& family) {
    remove();
    id_ = QFontDatabase::addApplicationFont(path);
    if (id_ < 0) return false;
    // Asking for the family and reading back what was matched tells whether the
    // font system really serves it, not just whether the file was parsed.
    QFont probe(family);
    probe.setStyleStrategy(QFont::NoFontMerging);
    return QFontInfo(probe).family() == family;
}

void PrivateFont::remove() {
    if (id_ >= 0) {
        QFontDatabase::removeApplicationFont(id_);
        id_ = -1;
    }
}

} // namespace orbel
