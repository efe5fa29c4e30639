#pragma once
// The user manual as a printed book: the Markdown chapters in reading order with the staff pictures they
// name, a table of contents under the heading "目次", A4 pages with page numbers, written as one PDF.

#include <QString>
#include <QStringList>

namespace orbel::manual {

struct BookSources {
    QStringList chapters;  // Markdown files, in reading order
    QString pictureFolder; // where the pictures that the chapters name are found
    QString output;        // the PDF to write
};

struct BookResult {
    int pages = 0;
    QString error; // empty when the book was written; otherwise what went wrong, in words
};

// Needs a QGuiApplication (fonts); no display is used.
BookResult WriteBook(const BookSources& sources);

} // namespace orbel::manual
