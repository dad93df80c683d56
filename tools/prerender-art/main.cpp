// Renders every SVG of the layout artwork once, at build time, into raw premultiplied ARGB32
// pixels, and writes the resource list that packs them into the program. Rendering the vector
// artwork while a screen is built took most of the program's start-up; the pixels are the same,
// because this tool renders with the program's own renderer.
#include "app/RuntimeError.h"
#include "assets/SvgRender.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

namespace {

void fail(const QString &message) {
    std::fprintf(stderr, "prerender-art: %s\n", qPrintable(message));
    std::exit(1);
}

// "menu/background.svg" at 650 x 419 is stored as "menu/background.svg@650x419".
QString storedName(const QString &relative, QSize size) {
    return QStringLiteral("%1@%2x%3").arg(relative).arg(size.width()).arg(size.height());
}

// Renders one file at the size its own width and height give; returns the stored name.
QString prerender(const QDir &art, const QString &relative, const QDir &out) {
    const QString source = art.filePath(relative);
    const QSize size = QSvgRenderer(source).defaultSize();
    if (size.isEmpty())
        fail(QStringLiteral("%1: no width and height").arg(source));
    const QImage image = vaporica::renderSvgFile(source, size);
    const QString name = storedName(relative, size);
    const QString target = out.filePath(name);
    if (!out.mkpath(QFileInfo(target).path()))
        fail(QStringLiteral("cannot create the folder of %1").arg(target));
    QFile file(target);
    const auto bytes = static_cast<qint64>(image.sizeInBytes());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char *>(image.constBits()), bytes) != bytes)
        fail(QStringLiteral("cannot write %1").arg(target));
    return name;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv); // text in the artwork needs the font machinery
    if (argc != 4) {
        std::fprintf(stderr, "usage: prerender-art ART-DIR OUT-DIR OUT.qrc\n");
        return 2;
    }
    const QDir art(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QStringList files;
    QDirIterator it(art.path(), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << art.relativeFilePath(it.next());
    files.sort(); // the same resource list on every build
    if (files.isEmpty())
        fail(QStringLiteral("no SVG files under %1").arg(art.path()));

    QFile qrc(QString::fromLocal8Bit(argv[3]));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
        fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    QTextStream list(&qrc);
    list << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/prerendered-art\">\n";
    try {
        for (const QString &relative : files) {
            const QString name = prerender(art, relative, out);
            list << "    <file alias=\"" << name << "\">" << out.filePath(name) << "</file>\n";
        }
    } catch (const vaporica::RuntimeError &error) {
        fail(error.reportLine());
    }
    list << "  </qresource>\n</RCC>\n";
    list.flush();
    if (qrc.error() != QFileDevice::NoError)
        fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    return 0;
}
