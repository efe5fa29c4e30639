#include "export/staff_picture.h"

#include "app/study_session.h"
#include "app/window_sizing.h"
#include "theory/prepare_build.h"
#include "views/staff_layout.h"
#include "views/staff_view.h"
#include "views/surface.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <vector>

namespace orbel::exporter {

namespace {

namespace sheet {
// The trainer's window on a 1920×1080 screen with a 40-pixel task bar, in twips at 96 dots per inch.
constexpr double TwipsPerPixel = 15;
constexpr double ScreenWidth = 1920 * TwipsPerPixel;
constexpr double ScreenHeight = 1080 * TwipsPerPixel;
constexpr double WorkAreaHeight = 1040 * TwipsPerPixel;
constexpr double BelowStaff = 3;   // line spacings kept under the last staff of a key
constexpr double BelowTitles = 13; // and under the titles of a single picture
constexpr double HeadingTop = 40;  // twips under the top of a key's block
constexpr int HeadingSize = 16;    // points
constexpr int KeysInSheet = 12;
constexpr int FourthUp = 5;
constexpr int PdfResolution = 600; // dots per inch
constexpr double PdfMarginMm = 12;
} // namespace sheet

// One key's staff and how much of the window's height it takes, from the top.
struct Block {
    StaffLayout staff;
    double height = 0; // logical units
};

StaffFrame TrainerFrame() {
    const WindowPlacement p =
        ComputeWindowPlacement(sheet::ScreenWidth, sheet::ScreenHeight, sheet::WorkAreaHeight);
    return {p.width, p.height, RightColumnLeft(p.width), p.layoutMode};
}

std::vector<Block> LayOutBlocks(const ExportBuild& build, bool allKeys, QStringList& notices) {
    const StaffFrame frame = TrainerFrame();
    StudyState study = StudyOf(build);
    StudySession session(study);
    const int item = session.currentItem();
    const int firstRoot = study.settings.RootKey;
    std::vector<Block> blocks;
    const int keys = allKeys ? sheet::KeysInSheet : 1;
    for (int k = 0; k < keys; ++k) {
        if (k > 0) {
            study.settings.RootKey = static_cast<std::int16_t>(MoveRoot(firstRoot, k * sheet::FourthUp).root);
            if (BuildMessage refused = session.build(true)) notices << QString::fromStdString(*refused);
        }
        const Settings& s = study.settings;
        Block block;
        block.staff = LayOutStaff(study.sequence, {s.StudyType, s.UpDown, s.RootKey}, frame);
        for (const QString& message : block.staff.messages)
            notices << message;
        if (block.staff.marks.empty()) continue;
        const QString title = QString::fromStdString(session.texts(item, s.RootKey).TitleText);
        const double s1 = staff_geometry::LineSpacing;
        if (allKeys) {
            // The key's heading above its staff.
            StaffMark heading;
            heading.kind = StaffMark::Kind::Glyph;
            heading.x = frame.windowWidth * 0.01;
            heading.y = frame.windowHeight - sheet::HeadingTop;
            heading.text = QString(title).remove(QStringLiteral("★"));
            heading.font = {QStringLiteral("ＭＳ 明朝"), sheet::HeadingSize, true, false};
            heading.colour = 0xFF0000;
            block.staff.marks.push_back(heading);
            block.height = frame.windowHeight - (block.staff.lastBase - sheet::BelowStaff * s1);
        } else {
            const bool phrase = s.StudyType > study_type::IIVIPattern;
            LayOutTitles(block.staff, title,
                         phrase ? QString::fromStdString(session.texts(item, s.RootKey).CommentText)
                                : QString(),
                         frame.layoutMode);
            block.height = frame.windowHeight - (block.staff.lastBase - sheet::BelowTitles * s1);
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
}

// Paints the blocks one under the other on painter, at `scale` device units per logical unit, starting at
// device y `top`; returns where the next would start.
double PaintBlock(QPainter& painter, const Block& block, const StaffFrame& frame, double scale, double top) {
    painter.save();
    painter.translate(0, top);
    painter.setClipRect(QRectF(0, 0, frame.frame2Left * scale, block.height * scale));
    Surface surface(painter, QSizeF(frame.windowWidth * scale, frame.windowHeight * scale), frame.windowWidth,
                    frame.windowHeight);
    PaintStaff(surface, block.staff);
    painter.restore();
    return top + block.height * scale;
}

} // namespace

StaffPicture RenderStaffPicture(const ExportBuild& build, Format format, bool allKeys) {
    StaffPicture picture;
    const std::vector<Block> blocks = LayOutBlocks(build, allKeys, picture.notices);
    const StaffFrame frame = TrainerFrame();
    const double width = frame.frame2Left / sheet::TwipsPerPixel;
    double height = 0;
    for (const Block& b : blocks)
        height += b.height / sheet::TwipsPerPixel;
    if (blocks.empty()) return picture;

    QBuffer buffer(&picture.bytes);
    buffer.open(QIODevice::WriteOnly);
    const double pixelScale = 1 / sheet::TwipsPerPixel;
    const QSize size(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
    if (format == Format::Png) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        double top = 0;
        for (const Block& b : blocks)
            top = PaintBlock(painter, b, frame, pixelScale, top);
        painter.end();
        image.save(&buffer, "PNG");
    } else if (format == Format::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        QPainter painter(&svg);
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
        double top = 0;
        for (const Block& b : blocks)
            top = PaintBlock(painter, b, frame, pixelScale, top);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(sheet::PdfResolution);
        pdf.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(sheet::PdfMarginMm, sheet::PdfMarginMm, sheet::PdfMarginMm, sheet::PdfMarginMm),
            QPageLayout::Millimeter));
        QPainter painter(&pdf);
        const QRect page = painter.viewport();
        const double scale = page.width() / frame.frame2Left;
        double top = 0;
        for (const Block& b : blocks) {
            // A key that does not fit under the one before starts a new page.
            if (top > 0 && top + b.height * scale > page.height()) {
                pdf.newPage();
                top = 0;
            }
            top = PaintBlock(painter, b, frame, scale, top);
        }
    }
    return picture;
}

} // namespace orbel::exporter
