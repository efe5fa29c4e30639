#pragma once
// The study frame's lists and rows as the study controller has them show (StudyScreen): the study types,
// the items of the type chosen, the II–V–I key and treatment, the favourite mark, the rows each type uses
// (and the play menu, for the phrases only), and the keyboard's options shown with the keyboard.
// Thread: the window's.

#include "ui/study_controller.h"

#include <functional>
#include <string>

class QMenu;
class QWidget;

namespace orbel {

struct ControlPanel;
struct Settings;

class StudyFrame final : public StudyScreen {
public:
    // surface: the views' widget, which shows the keyboard's options; redraw draws the views again.
    StudyFrame(ControlPanel& controls, QMenu& playMenu, QWidget& surface, std::function<void()> redraw);

    // Offers the study types (the user's phrases named after the file settings name, if any), the II–V–I
    // keys and treatments (showing the settings' choice), without running a change handler; no study type
    // is selected yet.
    void fillLists(const Settings& settings);
    // The study type list's entry of the user's phrases named after the file at path.
    void nameUserEntry(const std::string& path);

    void showRowsFor(int studyType) override;
    void listItems(const QStringList& entries) override;
    int shownItem() const override;
    int itemCount() const override;
    void markItem(int index) override;
    void showFavourite(bool on) override;
    void showKeyboardOptions(bool shown) override;
    void drawScore() override { redraw_(); }

private:
    ControlPanel& controls_;
    QMenu& playMenu_;
    QWidget& surface_;
    std::function<void()> redraw_;
};

} // namespace orbel
