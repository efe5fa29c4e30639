// help.pdf, the manual that the Help menu and F1 open, is written by the build into the program folder.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>

namespace {

// Every menu, the dialogs, the keys and the data files take more than this.
static constexpr int FewestPages = 10;
static constexpr int TextTimeoutMs = 30000;

QString ManualPath() {
    return QStringLiteral(ORBEL_PROGRAM_DIR "/help.pdf");
}

TEST(Manual, IsAPdfOfManyPagesInTheProgramFolder) {
    QFile file(ManualPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "help.pdf is missing from the program folder";
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    // Every page is an object of type /Page; the page tree is /Pages.
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    const auto pages = QString::fromLatin1(pdf).count(page);
    EXPECT_GT(pages, FewestPages);
}

TEST(Manual, NamesEveryMenuOfTheMenuBar) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QProcess extract;
    extract.start(pdftotext,
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), ManualPath(), QStringLiteral("-")});
    ASSERT_TRUE(extract.waitForFinished(TextTimeoutMs));
    ASSERT_EQ(extract.exitCode(), 0) << extract.readAllStandardError().toStdString();
    // Lines may break inside a caption.
    const QString text =
        QString::fromUtf8(extract.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s")));
    // The menu bar's captions as the window shows them, the "&" marking the access key gone.
    for (const char* caption : {"ファイル(F)", "編集(E)", "表示(V)", "設定(S)", "演奏(P)", "ヘルプ(H)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(caption))) << caption;
}

} // namespace
