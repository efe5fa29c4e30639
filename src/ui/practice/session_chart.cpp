#include "ui/practice/session_chart.h"

#include "ui/practice/practice_texts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orbel {

namespace {

namespace margin {
constexpr double Left = 44;  // the accuracy scale
constexpr double Right = 44; // the tempo scale
constexpr double Top = 12;
constexpr double Bottom = 24; // the repetition numbers
} // namespace margin

constexpr double BarShare = 0.7;  // of a repetition's width
constexpr int TempoMargin = 5;    // BPM above and below the tempi played
constexpr double LabelWidth = 40; // of a number under a bar
constexpr int GoodPercent = 90;
constexpr int FairPercent = 60;
constexpr int GridStepPercent = 25;

const QColor Good(60, 160, 80);
const QColor Fair(230, 170, 40);
const QColor Poor(210, 70, 60);
const QColor TempoColour(40, 90, 200);
const QColor Grid(220, 220, 220);

QColor BarColour(double accuracy) {
    const double percent = accuracy * 100.0;
    if (percent >= GoodPercent) return Good;
    if (percent >= FairPercent) return Fair;
    return Poor;
}

} // namespace

ChartLayout LayOutChart(const std::vector<RepetitionScore>& scores, QSizeF size) {
    ChartLayout layout;
    layout.plot =
        QRectF(margin::Left, margin::Top, std::max(0.0, size.width() - margin::Left - margin::Right),
               std::max(0.0, size.height() - margin::Top - margin::Bottom));
    if (scores.empty() || layout.plot.isEmpty()) return layout;
    const auto [low, high] = std::minmax_element(
        scores.begin(), scores.end(), [](const auto& a, const auto& b) { return a.tempo < b.tempo; });
    layout.lowTempo = std::max(0, low->tempo - TempoMargin);
    layout.highTempo = high->tempo + TempoMargin;
    const double slot = layout.plot.width() / static_cast<double>(scores.size());
    const double span = std::max(1, layout.highTempo - layout.lowTempo);
    // Numbers under the bars, as many as fit side by side.
    const int every = std::max(1, static_cast<int>(std::ceil(LabelWidth / slot)));
    for (std::size_t i = 0; i < scores.size(); ++i) {
        const double left = layout.plot.left() + slot * static_cast<double>(i);
        const double height = layout.plot.height() * std::clamp(scores[i].accuracy(), 0.0, 1.0);
        const double width = slot * BarShare;
        layout.bars.emplace_back(left + (slot - width) / 2, layout.plot.bottom() - height, width, height);
        const double y =
            layout.plot.bottom() - layout.plot.height() * (scores[i].tempo - layout.lowTempo) / span;
        layout.tempoLine << QPointF(left + slot / 2, y);
        if ((i + 1) % static_cast<std::size_t>(every) == 0 || i == 0)
            layout.numbered.push_back(static_cast<int>(i));
    }
    return layout;
}

void PaintChart(QPainter& painter, const ChartLayout& layout, const std::vector<RepetitionScore>& scores,
                QSizeF size) {
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF& plot = layout.plot;
    if (plot.isEmpty()) return;
    const QFontMetricsF metrics(painter.font());
    // The accuracy grid and its scale on the left.
    for (int percent = 0; percent <= 100; percent += GridStepPercent) {
        const double y = plot.bottom() - plot.height() * percent / 100.0;
        painter.setPen(Grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, y - metrics.height() / 2, margin::Left - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1%").arg(percent));
    }
    if (scores.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromUtf8(practice_texts::ChartEmpty));
        return;
    }
    for (std::size_t i = 0; i < layout.bars.size(); ++i)
        painter.fillRect(layout.bars[i], BarColour(scores[i].accuracy()));
    painter.setPen(QPen(TempoColour, 2));
    painter.drawPolyline(layout.tempoLine);
    for (const QPointF& point : layout.tempoLine)
        painter.drawEllipse(point, 2.5, 2.5);
    // The tempo scale on the right, the repetition numbers below.
    for (const int tempo : {layout.lowTempo, layout.highTempo}) {
        const double y = tempo == layout.lowTempo ? plot.bottom() : plot.top();
        painter.drawText(
            QRectF(plot.right() + 4, y - metrics.height() / 2, margin::Right - 4, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, QString::number(tempo));
    }
    painter.setPen(Qt::darkGray);
    for (const int i : layout.numbered) {
        const double x = layout.tempoLine[i].x();
        painter.drawText(QRectF(x - LabelWidth / 2, plot.bottom() + 2, LabelWidth, margin::Bottom - 2),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(i + 1));
    }
    painter.setPen(Qt::black);
    painter.drawRect(plot);
}

QImage ChartImage(const std::vector<RepetitionScore>& scores, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintChart(painter, LayOutChart(scores, size), scores, size);
    return image;
}

SessionChart::SessionChart(QWidget* parent) : QWidget(parent) {
    setMinimumSize(360, 180);
}

void SessionChart::setScores(const std::vector<RepetitionScore>& scores) {
    scores_ = scores;
    update();
}

void SessionChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    PaintChart(painter, LayOutChart(scores_, size()), scores_, size());
}

} // namespace orbel
