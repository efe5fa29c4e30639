#pragma once
// The demonstration tour's window: a title in red, an explanation, "次回から表示しない", and 開始 / 終了.
// Each 開始 runs the next of the five chapters, which drive the real main window so that the views and the
// sound follow; after the fifth the tour starts again from the first. It stays above the main window.

#include "ui/tour/tour_script.h"

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace orbel {

class TourHost;
class TourStage;

namespace tour_pace {
// A factor for the tour's pauses, from outside (1 = as written).
static constexpr const char* Variable = "ORBEL_TOUR_PACE";
static constexpr double Fastest = 0.05;
} // namespace tour_pace

class frmIntroduce : public QDialog {
    Q_OBJECT

public:
    // "次回から表示しない" goes to the host's settings (HideDemoOffer: the tour is not offered at
    // start-up).
    explicit frmIntroduce(TourHost& host);
    ~frmIntroduce() override;

    // Shows the offer and greets the user with the chime.
    void start();
    void ShowSetumei(const QString& title, const QString& text);

    void Command3_Click(); // 開始
    void Command4_Click(); // 終了
    bool running() const { return running_; }
    int nextChapter() const { return chapter_; }
    // Waits are multiplied by this (tests run the tour at no wait at all).
    void setWaitScale(double scale) { waitScale_ = scale; }

private:
    void run(TourScript script, std::function<void()> finished);
    void next();
    void chapterEnded();

    TourHost& host_;
    std::unique_ptr<TourStage> stage_;
    std::deque<TourStep> steps_;
    std::function<void()> finished_;
    // What holds the present step's wait on, if anything.
    std::function<bool()> holdWhile_;
    QTimer timer_;
    // Keeps the window above the main window between chapters, where the desktop does not.
    QTimer Timer1;
    double waitScale_ = 1.0;
    bool running_ = false;
    std::int16_t chapter_ = 1;

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
};

} // namespace orbel
