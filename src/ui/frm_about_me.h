#pragma once
// The credits window: program name and version, and the licences of the
// SoundFont and the music font the trainer is using.

#include <QDialog>

namespace orbel {

class FrmAboutMe : public QDialog {
    Q_OBJECT

public:
    // soundFont: the SoundFont being played, empty when sound goes elsewhere.
    FrmAboutMe(const QString& programFolder, const QString& soundFont, QWidget* parent = nullptr);

    // The text shown: what is used and under which licence.
    static QString CreditsText(const QString& programFolder, const QString& soundFont);
};

} // namespace orbel
