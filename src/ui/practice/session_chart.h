#pragma once
// The session at a glance: the accuracy of every repetition as a bar, the tempo it was played at as a
// line. Positions are computed first, then painted, on the widget or into a picture for a PNG.

#include "theory/performance_score.h"

#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QWidget>
#include <vector>

class QPainter;

namespace orbel {

struct ChartLayout {
    QRectF plot;               // the area of bars and line
    std::vector<QRectF> bars;  // one per repetition
    QPolygonF tempoLine;       // one point per repetition, over the middle of its bar
    int lowTempo = 0;          // at the plot's bottom
    int highTempo = 0;         // at its top
    std::vector<int> numbered; // the repetitions numbered under the axis (0-based)
};

ChartLayout LayOutChart(const std::vector<RepetitionScore>& scores, QSizeF size);
void PaintChart(QPainter& painter, const ChartLayout& layout, const std::vector<RepetitionScore>& scores,
                QSizeF size);
QImage ChartImage(const std::vector<RepetitionScore>& scores, QSize size);

class SessionChart final : public QWidget {
public:
    explicit SessionChart(QWidget* parent = nullptr);
    void setScores(const std::vector<RepetitionScore>& scores);
    const std::vector<RepetitionScore>& scores() const { return scores_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RepetitionScore> scores_;
};

} // namespace orbel
