// Writes the complete data directory from the tables in material/: the question bank, every
// picture and both sounds. Usage: make-material MATERIAL_DIR OUTPUT_DIR; for the installed data of
// a school PC, make-material --system (SystemInstall.h).

#include "ApparatusArt.h"
#include "EquationPicture.h"
#include "GifWriter.h"
#include "PictureTexts.h"
#include "Plates.h"
#include "PropertiesPage.h"
#include "Sounds.h"
#include "SystemInstall.h"
#include "Tables.h"
#include "Typeset.h"
#include "app/RuntimeError.h"
#include "app/SharedVariables.h"
#include "assets/DataPaths.h"
#include "platform/Fonts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <stdexcept>

using namespace vaporica;
using namespace vaporica::material;

namespace {

QString cannotWrite(const QString &path) {
    return QStringLiteral("%1: 書けません（書き込む権限がなければ、sudo を付けて実行するか、"
                          "IT 担当の先生に頼んでください）")
        .arg(path);
}

void makeFolders(const QString &root, const QStringList &fragments) {
    for (const QString &f : fragments) {
        const QString folder = QFileInfo(dataPath(root, f)).path();
        if (!QDir().mkpath(folder))
            throw std::runtime_error(
                QStringLiteral("%1: フォルダを作れません").arg(folder).toStdString());
    }
}

void writeText(const QString &path, const QByteArray &text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        throw std::runtime_error(cannotWrite(path).toStdString());
}

// Question q's own set-up, with its reagents drawn in, is souti(QuestionSetups + q); the plain
// set-ups 1..9 stay for the properties browser.
constexpr int QuestionSetups = 100;

void writeBank(const QString &root, const Tables &t) {
    QByteArray mondai;
    for (const QuestionRow &q : t.questions)
        mondai += QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                      .arg(q.gas)
                      .arg(q.reagent1)
                      .arg(q.reagent2)
                      .arg(q.generator)
                      .arg(q.collection)
                      .arg(QuestionSetups + q.number)
                      .toLatin1();
    QByteArray taiou;
    for (const GasRow &g : t.gases)
        taiou += QByteArray::number(g.apparatus) + "\n";
    writeText(dataPath(root, fragment::QuestionFile), mondai);
    writeText(dataPath(root, fragment::GasApparatusFile), taiou);
}

// A picture that cannot be drawn from its row is reported with the row's file and line.
template <class Draw> QImage fromRow(const char *file, int line, Draw draw) {
    try {
        return draw();
    } catch (const TableError &) {
        throw;
    } catch (const std::runtime_error &e) {
        throw TableError(QStringLiteral("%1:%2: %3")
                             .arg(QString::fromLatin1(file))
                             .arg(line)
                             .arg(QString::fromStdString(e.what())));
    }
}

void writePictures(const QString &root, const Tables &t) {
    for (int g = 1; g <= GasCount; ++g) {
        const GasRow &gas = t.gases[g - 1];
        writeGif(gasPlate(g, false), picturePathUnder(root, fragment::GasNormal, g), false);
        writeGif(gasPlate(g, true), picturePathUnder(root, fragment::GasHighlighted, g), false);
        writeGif(fromRow("gases.tsv", gas.line, [&] { return propertiesPage(gas); }),
                 picturePathUnder(root, fragment::Properties, g), false);
    }
    for (int r = 1; r <= ReagentCount; ++r) {
        writeGif(reagentPlate(r, false), picturePathUnder(root, fragment::ReagentNormal, r), false);
        writeGif(reagentPlate(r, true), picturePathUnder(root, fragment::ReagentHighlighted, r),
                 false);
    }
    for (const QuestionRow &q : t.questions) {
        const GasRow &gas = t.gases[q.gas - 1];
        writeGif(fromRow("questions.tsv", q.line,
                         [&] {
                             return equationPicture(q.equation, q.overArrow, q.underArrow,
                                                    gas.formula, q.reasons);
                         }),
                 picturePathUnder(root, fragment::Equation, q.number), false);
        writeGif(setupPicture(q.apparatus, SetupContents{q.reagent1, q.reagent2, gas.swatch}),
                 picturePathUnder(root, fragment::Apparatus, QuestionSetups + q.number), true);
    }
    // Every plain set-up, also one no gas shows today: a teacher choosing a drawing for a new
    // question sees each of them (the guide shows them by number).
    for (int n : setupNumbers())
        writeGif(setupPicture(n), picturePathUnder(root, fragment::Apparatus, n), true);
}

int picturesUnder(const QString &root) {
    int count = 0;
    for (QDirIterator it(root, {QStringLiteral("*.gif")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++count;
    return count;
}

// Writes every data folder into a staging folder inside `root` first and swaps each into place
// only when all were written: a run that fails leaves the data directory exactly as it was, so a
// question can never be left with another question's pictures. Returns the pictures written.
int writeAllOrNothing(const QString &root, const std::function<void(const QString &)> &write) {
    if (!QDir().mkpath(root))
        throw std::runtime_error(cannotWrite(root).toStdString());
    QTemporaryDir staging(root + QStringLiteral("/.make-material-XXXXXX"));
    if (!staging.isValid())
        throw std::runtime_error(cannotWrite(root).toStdString());
    write(staging.path());
    const int pictures = picturesUnder(staging.path());
    const QStringList folders = QDir(staging.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const QString replaced = staging.filePath(QStringLiteral(".replaced"));
    QDir().mkpath(replaced);
    QStringList swapped;
    for (const QString &folder : folders) {
        const QString target = root + '/' + folder;
        const bool existed = QFileInfo::exists(target);
        if ((existed && !QDir().rename(target, replaced + '/' + folder)) ||
            !QDir().rename(staging.filePath(folder), target)) {
            if (existed && !QFileInfo::exists(target))
                QDir().rename(replaced + '/' + folder, target);
            for (const QString &back : swapped) {
                QDir(root + '/' + back).removeRecursively();
                QDir().rename(replaced + '/' + back, root + '/' + back);
            }
            throw std::runtime_error(cannotWrite(target).toStdString());
        }
        swapped << folder;
    }
    return pictures;
}

// The tables' own folder must not receive the data: the two would mix, and a teacher could no
// longer tell the files to edit from the files made from them.
void requireSeparateFolders(const QString &tables, const QString &root) {
    const QString t = QDir(tables).canonicalPath();
    const QString r = QFileInfo(root).canonicalFilePath();
    if (!t.isEmpty() && !r.isEmpty() && (r == t || r.startsWith(t + '/')))
        throw std::runtime_error(
            QStringLiteral("%1: 出力先が表のフォルダー（またはその中）です。別のフォルダーを指定"
                           "してください")
                .arg(root)
                .toStdString());
}

} // namespace

int main(int argc, char **argv) {
    // Text is drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (isSystemRun(argc, argv)) // the installed data of this PC, as root
        return runSystem(argc, argv);
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make-material MATERIAL_DIR OUTPUT_DIR\n");
        return 2;
    }
    const QString source = args[1];
    const QString root = QDir(args[2]).absolutePath();
    try {
        requireMinchoFaces();
        installFontSubstitutes();
        requireSeparateFolders(source, root);
        refuseInstalledData(root);
        const Tables tables = loadTables(source, setupNumbers());
        for (const QString &warning : tables.warnings)
            std::fprintf(stderr, "make-material: %s\n", qPrintable(warning));
        const int pictures = writeAllOrNothing(root, [&](const QString &out) {
            makeFolders(out, {fragment::GasNormal, fragment::ReagentNormal, fragment::Equation,
                              fragment::Apparatus, fragment::Properties, fragment::RightSound,
                              fragment::QuestionFile});
            writeBank(out, tables);
            writePictures(out, tables);
            writePictureTexts(out, tables);
            writeChime(dataPath(out, fragment::RightSound));
            writeBuzzer(dataPath(out, fragment::WrongSound));
        });
        std::printf("できました: %s（問題 %d 問、画像 %d 枚）\n", qPrintable(root),
                    int(tables.questions.size()), pictures);
    } catch (const RuntimeError &e) {
        std::fprintf(stderr, "make-material: %s\n", qPrintable(e.reportLine()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make-material: %s\n", e.what());
        return 1;
    }
    return 0;
}
