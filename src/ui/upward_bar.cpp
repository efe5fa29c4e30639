#include "ui/upward_bar.h"

#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace orbel {

namespace {

// Qt's scroll bar steps its arrows and page clicks by the value alone, so with the largest value drawn at
// the top they would move the thumb away from the arrow pressed. The bar therefore takes the top
// arrow and the track above the thumb for the "larger" parts, and the bottom ones for "smaller"; the
// drawing swaps back so that the part under the mouse is the one shown pressed.
QStyle::SubControl Mirrored(QStyle::SubControl part) {
    switch (part) {
    case QStyle::SC_ScrollBarAddLine:
        return QStyle::SC_ScrollBarSubLine;
    case QStyle::SC_ScrollBarSubLine:
        return QStyle::SC_ScrollBarAddLine;
    case QStyle::SC_ScrollBarAddPage:
        return QStyle::SC_ScrollBarSubPage;
    case QStyle::SC_ScrollBarSubPage:
        return QStyle::SC_ScrollBarAddPage;
    default:
        return part;
    }
}

QStyle::SubControls Mirrored(QStyle::SubControls parts) {
    QStyle::SubControls mirrored;
    for (QStyle::SubControl part :
         {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddPage,
          QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarFirst, QStyle::SC_ScrollBarLast,
          QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarGroove}) {
        if (parts.testFlag(part)) mirrored |= Mirrored(part);
    }
    return mirrored;
}

class UpwardBarStyle : public QProxyStyle {
public:
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& pos, const QWidget* widget) const override {
        const SubControl part = QProxyStyle::hitTestComplexControl(control, option, pos, widget);
        return control == CC_ScrollBar ? Mirrored(part) : part;
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionSlider shown = *bar;
        shown.activeSubControls = Mirrored(bar->activeSubControls);
        QProxyStyle::drawComplexControl(control, &shown, painter, widget);
    }
};

} // namespace

void MakeUpward(QScrollBar& bar) {
    bar.setInvertedAppearance(true);
    bar.setInvertedControls(false);
    auto* style = new UpwardBarStyle;
    style->setParent(&bar);
    bar.setStyle(style);
    // Qt's own menu (top, bottom, page up ...) would name the ends the wrong way round.
    bar.setContextMenuPolicy(Qt::NoContextMenu);
}

} // namespace orbel
