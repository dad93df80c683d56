// Renders the layout artwork once, at build time, into raw premultiplied ARGB32 pixels, and writes
// the resource list that packs them into the program: every SVG under each given folder at its
// own width and height, and the name plates the screens show before their first load. Rendering
// while a screen is built took most of the program's start-up; the pixels are the same, because
// this tool renders with the program's own renderer and the generator's own plate painter.
#include "Plates.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "drawing/PrerenderedPicture.h"
#include "drawing/SvgRender.h"

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

class Store {
public:
    Store(const QDir &out, QTextStream &list) : out_(out), list_(list) {}

    // name is the resource's path without ":/", as in "art/menu/background.svg".
    void add(const QString &name, const QImage &image) {
        const QString target = out_.filePath(name);
        if (!out_.mkpath(QFileInfo(target).path()))
            fail(QStringLiteral("cannot create the folder of %1").arg(target));
        QFile file(target);
        const QByteArray bytes = vaporica::prerenderedBytes(image);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail(QStringLiteral("cannot write %1").arg(target));
        list_ << "    <file alias=\"" << name << "\">" << target << "</file>\n";
    }

private:
    QDir out_;
    QTextStream &list_;
};

// Every SVG under folder, at the size its own width and height give, as "prefix/relative path".
void addSvgFolder(Store &store, const QString &prefix, const QDir &folder) {
    QStringList files;
    QDirIterator it(folder.path(), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << folder.relativeFilePath(it.next());
    files.sort(); // the same resource list on every build
    if (files.isEmpty())
        fail(QStringLiteral("no SVG files under %1").arg(folder.path()));
    for (const QString &relative : files) {
        const QString source = folder.filePath(relative);
        const QSize size = QSvgRenderer(source).defaultSize();
        if (size.isEmpty())
            fail(QStringLiteral("%1: no width and height").arg(source));
        store.add(prefix + QLatin1Char('/') + relative, vaporica::renderSvgFile(source, size));
    }
}

// Each plate also at twice the size: a screen shows its design-time plates on a projector too.
void addPlates(Store &store) {
    for (int scale : {1, 2}) {
        for (int gas = 1; gas <= vaporica::GasCount; ++gas)
            store.add(vaporica::gasPlateResource(gas, scale).mid(2),
                      vaporica::gasPlate(gas, false, scale));
        for (int reagent = 1; reagent <= vaporica::ReagentCount; ++reagent)
            store.add(vaporica::reagentPlateResource(reagent, scale).mid(2),
                      vaporica::reagentPlate(reagent, false, scale));
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv); // text in the artwork needs the font machinery
    if (argc < 4) {
        std::fprintf(stderr, "usage: prerender-art OUT-DIR OUT.qrc PREFIX=SVG-DIR...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QFile qrc(QString::fromLocal8Bit(argv[2]));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
        fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    QTextStream list(&qrc);
    list << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\""
         << vaporica::PrerenderedPrefix << "\">\n";
    Store store(out, list);
    try {
        for (int i = 3; i < argc; ++i) {
            const QString folder = QString::fromLocal8Bit(argv[i]);
            const qsizetype equals = folder.indexOf(QLatin1Char('='));
            if (equals < 1)
                fail(QStringLiteral("%1: not PREFIX=SVG-DIR").arg(folder));
            addSvgFolder(store, folder.left(equals), QDir(folder.mid(equals + 1)));
        }
        addPlates(store);
    } catch (const vaporica::RuntimeError &error) {
        fail(error.reportLine());
    }
    list << "  </qresource>\n</RCC>\n";
    list.flush();
    if (qrc.error() != QFileDevice::NoError)
        fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    return 0;
}
