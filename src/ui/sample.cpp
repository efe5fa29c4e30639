#include "ui/sample.h"

#include "ui/captions.h"
#include "ui/center_form.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbel {

namespace {
static constexpr int TextFontSize = 12;
}

QStringList sample::Lines() {
    return {QStringLiteral("  ショートカットの説明　"),   QStringLiteral("  ---------------------------"),
            QStringLiteral("　[Space]:  Play or Stop"),   QStringLiteral("　[ P,p ]:  半音上へシフト"),
            QStringLiteral("　[ Q,q ]:  半音下へシフト"), QStringLiteral("　[ F,f ]:  ４度上へシフト"),
            QStringLiteral("　[ U,u ]:　テンポＵＰ"),     QStringLiteral("　[ D,d ]:　テンポＤＯＷＮ"),
            QStringLiteral("　[ M,m ]:　メトロノーム"),   QStringLiteral("　[ S,s ]:  音出")};
}

sample::sample(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sample"));
    setWindowTitle(QStringLiteral("ショートカット説明"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("Text1"));
    text->setFont(QFont(captions::FormFontName, TextFontSize));
    text->setReadOnly(true);
    text->setPlainText(Lines().join(QLatin1Char('\n')));
    text->setMinimumSize(360, 260);
    layout->addWidget(text);
    auto* back = new QPushButton(QStringLiteral("戻る"), this);
    back->setObjectName(QStringLiteral("Command1"));
    connect(back, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(back);
    adjustSize();
    CenterForm(*this);
}

} // namespace orbel
