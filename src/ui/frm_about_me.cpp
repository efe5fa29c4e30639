#include "ui/frm_about_me.h"
#include "app/program_folder.h"

#include "datafiles/bounded_read.h"
#include "ui/captions.h"
#include "ui/center_form.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbel {

namespace {

static constexpr int TitleFontSize = 18;

// Licence texts installed with the SoundFont packages this trainer looks for.
QString SoundFontLicenceFile(const QString& soundFont) {
    const QString name = QFileInfo(soundFont).fileName();
    if (name.compare(QLatin1String("FluidR3_GM.sf2"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("/usr/share/doc/fluid-soundfont-gm/copyright");
    if (name.compare(QLatin1String("TimGM6mb.sf2"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("/usr/share/doc/timgm6mb-soundfont/copyright");
    return {};
}

QString ReadText(const QString& path) {
    static constexpr qint64 LicenceLimit = 256 * 1024;
    if (path.isEmpty()) return {};
    const BoundedRead file = ReadRegularFile(path, LicenceLimit);
    return file.bytes ? QString::fromUtf8(*file.bytes) : QString();
}

} // namespace

QString FrmAboutMe::CreditsText(const QString& programFolder, const QString& soundFont) {
    QStringList parts;
    parts << QStringLiteral("■ SoundFont");
    if (soundFont.isEmpty()) {
        parts << QStringLiteral("(none: MIDI goes to an external port or nowhere)");
    } else {
        parts << soundFont;
        const QString licence = ReadText(SoundFontLicenceFile(soundFont));
        parts << (licence.isEmpty() ? QStringLiteral("See the licence that came with this SoundFont.")
                                    : licence);
    }
    parts << QString() << QStringLiteral("■ Music font ZEPHMUSIC.ttf (ZephMusicFont)");
    const QString ofl = ReadText(ResourceFolderFor(programFolder) + QStringLiteral("/ZEPHMUSIC-OFL.txt"));
    parts << (ofl.isEmpty() ? QStringLiteral("SIL Open Font License 1.1 (ZEPHMUSIC-OFL.txt is missing)")
                            : ofl);
    return parts.join(QLatin1Char('\n'));
}

FrmAboutMe::FrmAboutMe(const QString& programFolder, const QString& soundFont, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAboutMe"));
    setWindowTitle(captions::ProgramName);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(captions::ProgramName + QStringLiteral("  Ver1.9.9a"), this);
    title->setObjectName(QStringLiteral("LabelTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSize(TitleFontSize);
    title->setFont(titleFont);
    layout->addWidget(title);
    auto* credits = new QPlainTextEdit(CreditsText(programFolder, soundFont), this);
    credits->setObjectName(QStringLiteral("Credits"));
    credits->setReadOnly(true);
    credits->setMinimumSize(560, 360);
    layout->addWidget(credits);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(close);
    adjustSize();
    CenterForm(*this);
}

} // namespace orbel
