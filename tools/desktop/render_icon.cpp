// orbel-render-icon: the trainer's SVG icon as PNG pictures of the sizes a desktop asks for.
//
//     orbel-render-icon ICON.svg OUTPUT-FOLDER SIZE...
// writes OUTPUT-FOLDER/SIZExSIZE/ICON.png for every size.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: orbel-render-icon ICON.svg OUTPUT-FOLDER SIZE...\n");
        return 64;
    }
    QSvgRenderer svg(arguments[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "orbel-render-icon: %s is not an SVG picture\n", qPrintable(arguments[1]));
        return 2;
    }
    const QString name = QFileInfo(arguments[1]).completeBaseName() + QStringLiteral(".png");
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        const int size = arguments[i].toInt();
        if (size <= 0) {
            std::fprintf(stderr, "orbel-render-icon: %s is no size\n", qPrintable(arguments[i]));
            return 64;
        }
        const QString folder = QStringLiteral("%1/%2x%2").arg(arguments[2]).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        if (!QDir().mkpath(folder) || !image.save(folder + QLatin1Char('/') + name, "PNG")) {
            std::fprintf(stderr, "orbel-render-icon: cannot write %s/%s\n", qPrintable(folder),
                         qPrintable(name));
            return 1;
        }
    }
    return 0;
}
