#include "manual_book.h"

#include "datafiles/named_output.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace orbel::manual {

namespace {

// The text face and the one for files and examples: IPA Gothic sets half-width Latin at exactly half the
// width of a kana, so the columns of the examples line up as they do in a text editor.
namespace fonts {
static constexpr const char* Text = "IPAPGothic";
static constexpr const char* Fixed = "IPAGothic";
static constexpr const char* Package = "fonts-ipafont-gothic";
static constexpr double TextPoints = 10.5;
static constexpr double FixedPoints = 9.5;
static constexpr double FooterPoints = 8.5;
static constexpr double ContentsPoints = 9.5; // the contents fit one page
static constexpr double CoverTitlePoints = 28;
// By heading level; level 0 is no heading.
static constexpr std::array<double, 4> HeadingPoints{TextPoints, 19, 14, 11.5};
} // namespace fonts

// A4 with its margins. Lengths inside the document are in pixels of 96 dots to the inch (the application
// runs with Qt::AA_Use96Dpi), which Qt scales to the writer's resolution when it lays the text out.
namespace paper {
static constexpr int Resolution = 300;
static constexpr double DocumentDpi = 96;
static constexpr double MmPerInch = 25.4;
static constexpr double LeftMm = 20;
static constexpr double RightMm = 18;
static constexpr double TopMm = 20;
static constexpr double BottomMm = 22;
static constexpr double FooterFromBottomMm = 11;
static constexpr double CoverTopMm = 55;
static constexpr double WidthMm = 210; // A4
} // namespace paper

// Each pass moves one heading or settles the contents; a book of a few dozen headings needs far fewer.
namespace layout_passes {
static constexpr int Most = 60;
} // namespace layout_passes

namespace spacing {
static constexpr double ChapterTop = 26;
static constexpr double HeadingTop = 14;
static constexpr double HeadingBottom = 6;
static constexpr double SectionTop = 10;
static constexpr double ParagraphBottom = 5;
static constexpr double LinePercent = 115; // a little air between the lines of Japanese text
static constexpr double CodeIndent = 10;
static constexpr double TableCellPadding = 3;
static constexpr double TableRule = 0.6;
static constexpr double ContentsIndent = 18;
static constexpr double ContentsGap = 5;
} // namespace spacing

namespace colours {
static constexpr QRgb Heading = 0x1f3a68;
static constexpr QRgb ChapterBand = 0xe3eaf5;
static constexpr QRgb CodeBackground = 0xf3f3f0;
static constexpr QRgb TableRule = 0x9a9a9a;
static constexpr QRgb TableHead = 0xeaeaea;
static constexpr QRgb Footer = 0x707070;
} // namespace colours

// The heading under which the table of contents is set.
static constexpr char16_t ContentsHeading[] = u"目次";

constexpr double DocumentUnits(double mm) {
    return mm / paper::MmPerInch * paper::DocumentDpi;
}
constexpr double DeviceUnits(double mm) {
    return mm / paper::MmPerInch * paper::Resolution;
}

int HeadingLevel(const QTextBlock& block) {
    return block.blockFormat().headingLevel();
}

bool IsCode(const QTextBlock& block) {
    return block.blockFormat().hasProperty(QTextFormat::BlockCodeFence) ||
           block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

// The chapters joined in reading order; a file that cannot be read is named in the error.
std::optional<QString> ReadChapters(const QStringList& files, QString& error) {
    QString text;
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            error = QStringLiteral("cannot read the manual chapter %1: %2").arg(path, file.errorString());
            return std::nullopt;
        }
        text += QString::fromUtf8(file.readAll());
        text += QStringLiteral("\n\n");
    }
    return text;
}

QString MissingFonts() {
    const QStringList families = QFontDatabase::families();
    QStringList missing;
    for (const char* family : {fonts::Text, fonts::Fixed}) {
        if (!families.contains(QString::fromLatin1(family))) missing << QString::fromLatin1(family);
    }
    if (missing.isEmpty()) return {};
    return QStringLiteral("the Japanese font %1 is not installed, so the manual cannot be set "
                          "(Debian package %2)")
        .arg(missing.join(QStringLiteral(", ")), QString::fromLatin1(fonts::Package));
}

void MergeBlock(QTextDocument& doc, const QTextBlock& block, const QTextBlockFormat& blockFormat) {
    QTextCursor cursor(&doc);
    cursor.setPosition(block.position());
    cursor.mergeBlockFormat(blockFormat);
}

// Merges chars into every fragment of the block. Markdown sizes its headings relative to the default font
// (QTextFormat::FontSizeAdjustment), which would override any size set here, so that goes first.
void RestyleText(QTextDocument& doc, const QTextBlock& block, const QTextCharFormat& chars) {
    struct Span {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Span> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) continue;
        QTextCharFormat format = fragment.charFormat();
        format.clearProperty(QTextFormat::FontSizeAdjustment);
        format.merge(chars);
        spans.push_back({fragment.position(), fragment.length(), format});
    }
    QTextCursor cursor(&doc);
    for (const Span& span : spans) {
        cursor.setPosition(span.position);
        cursor.setPosition(span.position + span.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
    QTextCharFormat blockChars = block.charFormat();
    blockChars.clearProperty(QTextFormat::FontSizeAdjustment);
    blockChars.merge(chars);
    cursor.setPosition(block.position());
    cursor.setBlockCharFormat(blockChars);
}

// The layout drops the top margin of the document's first block, so the cover's space above its title is
// the bottom margin of an empty block in front of it.
void OpenCover(QTextDocument& doc) {
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat space;
    space.setBottomMargin(DocumentUnits(paper::CoverTopMm));
    cursor.setBlockFormat(space);
    cursor.setBlockCharFormat(QTextCharFormat());
}

// Headings in the Gothic face at fixed sizes, chapters on a band; the contents and the first chapter open a
// page; the cover (all before the contents) is centred; examples get a background and the fixed face.
void StyleBlocks(QTextDocument& doc) {
    int chapters = 0;
    bool afterContents = false;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = HeadingLevel(block);
        QTextBlockFormat blockFormat;
        if (level > 0) {
            const auto size = static_cast<std::size_t>(std::min(level, 3));
            QTextCharFormat chars;
            chars.setFontFamilies({QString::fromLatin1(fonts::Text)});
            chars.setFontPointSize(fonts::HeadingPoints[size]);
            chars.setFontWeight(QFont::Bold);
            chars.setForeground(QColor::fromRgb(colours::Heading));
            blockFormat.setTopMargin(level == 1 ? 0
                                                : (level == 2 ? spacing::HeadingTop : spacing::SectionTop));
            blockFormat.setBottomMargin(spacing::HeadingBottom);
            if (level == 1) {
                ++chapters;
                if (chapters == 1) {
                    chars.setFontPointSize(fonts::CoverTitlePoints);
                } else {
                    // The contents and the first chapter after them open a page; the other chapters
                    // follow on.
                    const bool contents = block.text().trimmed() == QStringView(ContentsHeading);
                    if (contents || afterContents)
                        blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                    else
                        blockFormat.setTopMargin(spacing::ChapterTop);
                    afterContents = contents;
                    blockFormat.setBackground(QColor::fromRgb(colours::ChapterBand));
                    blockFormat.setBottomMargin(spacing::HeadingTop);
                }
            }
            MergeBlock(doc, block, blockFormat);
            RestyleText(doc, block, chars);
        } else if (IsCode(block)) {
            QTextCharFormat chars;
            chars.setFontFamilies({QString::fromLatin1(fonts::Fixed)});
            chars.setFontPointSize(fonts::FixedPoints);
            blockFormat.setBackground(QColor::fromRgb(colours::CodeBackground));
            blockFormat.setLeftMargin(spacing::CodeIndent);
            blockFormat.setTopMargin(0);
            blockFormat.setBottomMargin(0);
            MergeBlock(doc, block, blockFormat);
            RestyleText(doc, block, chars);
        } else {
            blockFormat.setBottomMargin(spacing::ParagraphBottom);
            blockFormat.setLineHeight(spacing::LinePercent, QTextBlockFormat::ProportionalHeight);
            MergeBlock(doc, block, blockFormat);
        }
        if (chapters == 1 && !block.textList()) {
            QTextBlockFormat centred;
            centred.setAlignment(Qt::AlignHCenter);
            MergeBlock(doc, block, centred);
        }
    }
    // Inline file names and values: the fixed face as well.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (IsCode(block)) continue;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().fontFixedPitch()) continue;
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            QTextCharFormat chars;
            chars.setFontFamilies({QString::fromLatin1(fonts::Fixed)});
            cursor.mergeCharFormat(chars);
        }
    }
}

// Every picture a chapter names is loaded from the picture folder and set at the text's width at most; a
// paragraph holding only a picture is centred.
QString PlacePictures(QTextDocument& doc, const QString& folder, double textWidth) {
    struct Placed {
        int position;
        QTextImageFormat format;
    };
    std::vector<Placed> placed;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString name = format.name();
            const QString path = QDir(folder).filePath(QUrl(name).path());
            const QImage image(path);
            if (image.isNull()) {
                return QStringLiteral("the picture %1 that the manual names cannot be read from %2")
                    .arg(name, QDir::toNativeSeparators(folder));
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
            const double width = std::min<double>(textWidth, image.width());
            format.setWidth(width);
            format.setHeight(width * image.height() / image.width());
            for (int i = 0; i < fragment.length(); ++i)
                placed.push_back({fragment.position() + i, format});
        }
        if (block.text().trimmed() == QString(QChar::ObjectReplacementCharacter)) {
            QTextBlockFormat centred;
            centred.setAlignment(Qt::AlignHCenter);
            MergeBlock(doc, block, centred);
        }
    }
    for (const Placed& picture : placed) {
        QTextCursor cursor(&doc);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return {};
}

void CollectTables(QTextFrame* frame, std::vector<QTextTable*>& tables) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) tables.push_back(table);
        CollectTables(child, tables);
    }
}

// Thin rules, a shaded head row that repeats on the next page, and a little room in every cell.
void StyleTables(QTextDocument& doc) {
    std::vector<QTextTable*> tables;
    CollectTables(doc.rootFrame(), tables);
    for (QTextTable* table : tables) {
        QTextTableFormat format = table->format();
        format.setBorder(spacing::TableRule);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor::fromRgb(colours::TableRule));
        format.setBorderCollapse(false);
        format.setCellSpacing(0);
        format.setCellPadding(spacing::TableCellPadding);
        format.setHeaderRowCount(1);
        format.setTopMargin(spacing::ParagraphBottom);
        format.setBottomMargin(2 * spacing::ParagraphBottom);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat head = cell.format();
            head.setBackground(QColor::fromRgb(colours::TableHead));
            cell.setFormat(head);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            cursor.mergeCharFormat(bold);
        }
    }
}

// What the layout of one pass decides for the next: the headings that have to open a page to stay with
// their text, and the page of every line of the contents.
struct PageDecisions {
    std::vector<int> breaks;        // headings, counted in document order from 0
    std::vector<int> contentsPages; // empty until a pass has counted them
    bool operator==(const PageDecisions&) const = default;
};

// One line per chapter and section after the heading "目次", set right after it. Its page number is the
// one a previous pass counted, or a placeholder of two digits.
std::vector<QTextBlock> InsertContents(QTextDocument& doc, double textWidth, const std::vector<int>& pages) {
    std::vector<QTextBlock> lines;
    QTextBlock contents;
    std::vector<QTextBlock> headings;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = HeadingLevel(block);
        if (level == 0) continue;
        if (!contents.isValid()) {
            if (block.text().trimmed() == QStringView(ContentsHeading)) contents = block;
            continue;
        }
        if (level <= 2) headings.push_back(block);
    }
    if (!contents.isValid()) return lines;

    QTextCursor cursor(contents);
    cursor.movePosition(QTextCursor::EndOfBlock);
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const bool chapter = HeadingLevel(headings[i]) == 1;
        QTextBlockFormat format;
        format.setLeftMargin(chapter ? 0 : spacing::ContentsIndent);
        format.setTopMargin(chapter ? spacing::ContentsGap : 0);
        format.setBottomMargin(0);
        // A hair inside the text's width, or rounding would push the number onto a line of its own.
        const double right = textWidth - format.leftMargin() - 1;
        format.setTabPositions({QTextOption::Tab(right, QTextOption::RightTab)});
        QTextCharFormat chars;
        chars.setFontFamilies({QString::fromLatin1(fonts::Text)});
        chars.setFontPointSize(fonts::ContentsPoints);
        chars.setFontWeight(chapter ? QFont::Bold : QFont::Normal);
        const QString page = i < pages.size() ? QString::number(pages[i]) : QStringLiteral("00");
        cursor.insertBlock(format, chars);
        cursor.insertText(headings[i].text().trimmed() + QLatin1Char('\t') + page, chars);
        lines.push_back(headings[i]);
    }
    return lines;
}

// The book's title: its first heading.
QString Title(const QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (HeadingLevel(block) > 0) return block.text().trimmed();
    }
    return {};
}

int PageOf(const QTextDocument& doc, const QTextBlock& block, double pageHeight) {
    // Document coordinates, also for the blocks of a table cell; the middle of the first line decides.
    double y = doc.documentLayout()->blockBoundingRect(block).top();
    if (const QTextLayout* layout = block.layout(); layout != nullptr && layout->lineCount() > 0) {
        const QTextLine first = layout->lineAt(0);
        y += first.y() + first.height() / 2;
    }
    return static_cast<int>(std::floor(y / pageHeight)) + 1;
}

void BreakBeforeHeadings(QTextDocument& doc, const std::vector<int>& breaks) {
    int heading = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (HeadingLevel(block) == 0) continue;
        if (std::find(breaks.begin(), breaks.end(), heading) != breaks.end()) {
            QTextBlockFormat breakBefore;
            breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            MergeBlock(doc, block, breakBefore);
        }
        ++heading;
    }
}

// The first heading left alone at the foot of a page (what follows it starts on the next page), counted
// as BreakBeforeHeadings counts; a chapter heading straight above a section heading goes with it.
std::optional<int> FirstLonelyHeading(const QTextDocument& doc, double pageHeight,
                                      const std::vector<int>& breaks) {
    int heading = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (HeadingLevel(block) == 0) continue;
        const QTextBlock first = block;
        const int firstHeading = heading++;
        while (block.next().isValid() && HeadingLevel(block.next()) > 0) {
            block = block.next();
            ++heading;
        }
        const QTextBlock text = block.next();
        if (!text.isValid()) break;
        const bool alone = PageOf(doc, first, pageHeight) != PageOf(doc, text, pageHeight);
        // A heading that opens its page already has done all it can.
        if (alone && std::find(breaks.begin(), breaks.end(), firstHeading) == breaks.end())
            return firstHeading;
    }
    return std::nullopt;
}

// The whole book as one document laid out on A4 pages, with the decisions of the previous pass.
struct ComposedBook {
    std::unique_ptr<QTextDocument> doc;
    std::vector<QTextBlock> contents; // the headings the contents name, in order
    QString error;
};

ComposedBook Compose(const QString& markdown, const QString& pictureFolder, QPaintDevice& device,
                     const QSizeF& page, const PageDecisions& decisions) {
    ComposedBook book;
    book.doc = std::make_unique<QTextDocument>();
    QTextDocument& doc = *book.doc;
    QFont text(QString::fromLatin1(fonts::Text));
    text.setPointSizeF(fonts::TextPoints);
    doc.setDefaultFont(text);
    doc.setMarkdown(markdown);
    doc.documentLayout()->setPaintDevice(&device);

    QTextFrameFormat margins = doc.rootFrame()->frameFormat();
    margins.setLeftMargin(DocumentUnits(paper::LeftMm));
    margins.setRightMargin(DocumentUnits(paper::RightMm));
    margins.setTopMargin(DocumentUnits(paper::TopMm));
    margins.setBottomMargin(DocumentUnits(paper::BottomMm));
    doc.rootFrame()->setFrameFormat(margins);

    const double textWidth = DocumentUnits(paper::WidthMm - paper::LeftMm - paper::RightMm);
    StyleBlocks(doc);
    StyleTables(doc);
    OpenCover(doc);
    book.error = PlacePictures(doc, pictureFolder, textWidth);
    if (!book.error.isEmpty()) return book;
    BreakBeforeHeadings(doc, decisions.breaks);
    book.contents = InsertContents(doc, textWidth, decisions.contentsPages);
    // Laid out once, from the start, with everything in place: no change follows the layout.
    doc.setPageSize(page);
    return book;
}

void DrawFooter(QPainter& painter, const QRectF& page, int number, const QString& title) {
    QFont font(QString::fromLatin1(fonts::Text));
    font.setPointSizeF(fonts::FooterPoints);
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(colours::Footer));
    const double baseline = page.height() - DeviceUnits(paper::FooterFromBottomMm);
    const QRectF line(DeviceUnits(paper::LeftMm), baseline - painter.fontMetrics().ascent(),
                      page.width() - DeviceUnits(paper::LeftMm + paper::RightMm),
                      painter.fontMetrics().height());
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("— %1 —").arg(number));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, title);
    painter.restore();
}

// Every page of the document, with a footer from the second page on.
QString Print(QTextDocument& doc, QPdfWriter& writer, const QSizeF& page, int& pages) {
    const QString title = Title(doc);
    writer.setTitle(title);
    QPainter painter;
    if (!painter.begin(&writer)) return QStringLiteral("cannot start the PDF");
    painter.setRenderHint(QPainter::LosslessImageRendering);
    pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) writer.newPage();
        const QRectF shown(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        if (i > 0) DrawFooter(painter, QRectF(QPointF(), page), i + 1, title);
    }
    return painter.end() ? QString() : QStringLiteral("cannot finish the PDF");
}

} // namespace

BookResult WriteBook(const BookSources& sources) {
    BookResult result;
    if (sources.chapters.isEmpty()) {
        result.error = QStringLiteral("no manual chapters were given");
        return result;
    }
    if (const QString missing = MissingFonts(); !missing.isEmpty()) {
        result.error = missing;
        return result;
    }
    const std::optional<QString> markdown = ReadChapters(sources.chapters, result.error);
    if (!markdown) return result;

    // The book is made in memory and written once it is whole, to wherever the output path leads.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setResolution(paper::Resolution);
    writer.setCreator(QStringLiteral("orbel-manual"));
    const QSizeF page(writer.width(), writer.height());

    // Each pass lays a fresh document out and reads it; the next one applies what it found, until the
    // headings stay with their text and the contents name the pages the chapters fall on.
    PageDecisions decisions;
    for (int pass = 0; pass < layout_passes::Most; ++pass) {
        ComposedBook book = Compose(*markdown, sources.pictureFolder, writer, page, decisions);
        if (!book.error.isEmpty()) {
            result.error = book.error;
            return result;
        }
        PageDecisions found = decisions;
        if (const std::optional<int> lonely =
                FirstLonelyHeading(*book.doc, page.height(), decisions.breaks)) {
            found.breaks.push_back(*lonely);
        } else {
            found.contentsPages.clear();
            for (const QTextBlock& heading : book.contents)
                found.contentsPages.push_back(PageOf(*book.doc, heading, page.height()));
        }
        if (found == decisions) {
            if (QString error = Print(*book.doc, writer, page, result.pages); !error.isEmpty()) {
                result.error = QStringLiteral("%1 %2").arg(error, sources.output);
                return result;
            }
            if (const std::optional<QString> problem = WriteNamedOutput(sources.output, file.data())) {
                result.error = QStringLiteral("cannot write %1").arg(*problem);
                return result;
            }
            return result;
        }
        decisions = found;
    }
    result.error =
        QStringLiteral("the pages of the manual did not settle after %1 layouts").arg(layout_passes::Most);
    return result;
}

} // namespace orbel::manual
