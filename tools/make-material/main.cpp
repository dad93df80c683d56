// Writes the complete data directory from the tables in material/: the question bank, every
// picture and both sounds. Usage: make-material MATERIAL_DIR|TABLES_FILE OUTPUT_DIR; for the
// installed data of a school PC, make-material --system (SystemInstall.h).

#include "ApparatusArt.h"
#include "EquationPicture.h"
#include "GifWriter.h"
#include "MaterialRecord.h"
#include "PictureTexts.h"
#include "Plates.h"
#include "PropertiesPage.h"
#include "Sounds.h"
#include "SystemInstall.h"
#include "Tables.h"
#include "TablesFile.h"
#include "Typeset.h"
#include "assets/DataPaths.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
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

void writeBank(const QString &root, const Tables &t) {
    QByteArray mondai;
    for (const QuestionRow &q : t.questions) {
        QStringList values;
        for (int v : recordOf(q))
            values << QString::number(v);
        mondai += values.join(QLatin1Char(',')).toLatin1() + '\n';
    }
    QByteArray taiou;
    for (const GasRow &g : t.gases)
        taiou += QByteArray::number(propertiesSetup(t, g)) + "\n";
    writeText(dataPath(root, fragment::QuestionFile), mondai);
    writeText(dataPath(root, fragment::GasApparatusFile), taiou);
}

// A row whose picture cannot be drawn (a line of text too wide, say) is a finding for that row;
// the others are still drawn, so one run names every such row.
template <class Draw>
std::optional<QImage> drawn(QList<Finding> &findings, const QString &file, int line, int question,
                            Draw draw) {
    try {
        return draw();
    } catch (const RuntimeError &) {
        throw;
    } catch (const std::runtime_error &e) {
        findings.append({Severity::Error, question, file, line, QString::fromStdString(e.what())});
        return std::nullopt;
    }
}

std::optional<QImage> propertiesOf(const GasRow &gas, QList<Finding> &findings) {
    return drawn(findings, GasesTable, gas.line, 0, [&] { return propertiesPage(gas); });
}

// Every picture is written twice: as it is, and drawn again at twice the size for a projector or
// a laptop at 150 or 200 % (Qt's name@2x beside it). `draw` takes the scale.
template <class Draw> void writeBothSizes(Draw draw, const QString &path, bool transparency) {
    writeGif(draw(1), path, transparency);
    writeGif(draw(2), doubleSizePath(path), transparency);
}

QImage equationCard(const QuestionRow &q, const Tables &t, qreal typeSize, int scale) {
    return equationPicture(q.equation, q.overArrow, q.underArrow, t.gases[q.gas - 1].formula,
                           q.reasons, q.cautions, typeSize, scale);
}

std::optional<QImage> equationOf(const QuestionRow &q, const Tables &t, qreal typeSize,
                                 QList<Finding> &findings) {
    return drawn(findings, QuestionsTable, q.line, q.number,
                 [&] { return equationCard(q, t, typeSize, 1); });
}

// With errors in the tables nothing is written, but every row without one is still drawn, in
// memory, so that a line too wide for its picture is named in the same run.
void drawWhatCanBeDrawn(const Tables &t, QList<Finding> &findings) {
    const QList<Finding> found = findings;
    const auto clean = [&](const QString &file, int line) {
        return std::none_of(found.begin(), found.end(), [&](const Finding &f) {
            return f.severity == Severity::Error && f.file == file && f.line == line;
        });
    };
    for (const GasRow &gas : t.gases)
        if (clean(GasesTable, gas.line))
            propertiesOf(gas, findings);
    const qreal type = bankTypeSize(t.questions);
    for (const QuestionRow &q : t.questions)
        if (q.gas > 0 && q.gas <= t.gases.size() && clean(QuestionsTable, q.line))
            equationOf(q, t, type, findings);
}

void writePictures(const QString &root, const Tables &t, QList<Finding> &findings) {
    for (int g = 1; g <= GasCount; ++g) {
        const GasRow &gas = t.gases[g - 1];
        writeBothSizes([&](int scale) { return gasPlate(g, false, scale); },
                       picturePathUnder(root, fragment::GasNormal, g), false);
        writeBothSizes([&](int scale) { return gasPlate(g, true, scale); },
                       picturePathUnder(root, fragment::GasHighlighted, g), false);
        // A page or card that cannot be drawn is a finding once, at its own size; drawn at twice
        // the size its lines fit the same.
        if (propertiesOf(gas, findings))
            writeBothSizes([&](int scale) { return propertiesPage(gas, scale); },
                           picturePathUnder(root, fragment::Properties, g), false);
    }
    for (int r = 1; r <= ReagentCount; ++r) {
        writeBothSizes([&](int scale) { return reagentPlate(r, false, scale); },
                       picturePathUnder(root, fragment::ReagentNormal, r), false);
        writeBothSizes([&](int scale) { return reagentPlate(r, true, scale); },
                       picturePathUnder(root, fragment::ReagentHighlighted, r), false);
    }
    const qreal type = bankTypeSize(t.questions);
    for (const QuestionRow &q : t.questions) {
        if (equationOf(q, t, type, findings))
            writeBothSizes([&](int scale) { return equationCard(q, t, type, scale); },
                           picturePathUnder(root, fragment::Equation, q.number), false);
        writeBothSizes(
            [&](int scale) { return setupPicture(q.apparatus, setupContentsOf(t, q), scale); },
            picturePathUnder(root, fragment::Apparatus, QuestionSetups + q.number), true);
    }
    // Every plain set-up, also one no gas shows today: a teacher choosing a drawing for a new
    // question sees each of them (the guide shows them by number).
    for (int n : setupNumbers())
        writeBothSizes([&](int scale) { return setupPicture(n, std::nullopt, scale); },
                       picturePathUnder(root, fragment::Apparatus, n), true);
}

// The pictures a teacher counts: each drawn at twice the size is the same picture.
int picturesUnder(const QString &root) {
    int count = 0;
    for (QDirIterator it(root, {QStringLiteral("*.gif")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        count += !isDoubleSizePath(it.next());
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
// The output need not exist yet: the nearest folder that does is followed through its links.
void requireSeparateFolders(const QString &tables, const QString &root) {
    const QString t = QDir(tables).canonicalPath();
    QString existing = QDir::cleanPath(root), rest;
    while (!QFileInfo::exists(existing) && existing != QFileInfo(existing).path()) {
        rest = '/' + QFileInfo(existing).fileName() + rest;
        existing = QFileInfo(existing).path();
    }
    const QString r = QFileInfo(existing).canonicalFilePath() + rest;
    if (!t.isEmpty() && (r == t || r.startsWith(t + '/')))
        throw std::runtime_error(
            QStringLiteral("%1: 出力先が表のフォルダー（またはその中）です。別のフォルダーを指定"
                           "してください")
                .arg(root)
                .toStdString());
}

// Problems in the order a teacher reads the tables: file by file, line by line, the findings
// about a whole file last.
void printFindings(QList<Finding> findings) {
    const QStringList order = {ReagentsTable, GasesTable, QuestionsTable};
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding &a, const Finding &b) {
        const auto key = [&](const Finding &f) {
            return std::pair(order.indexOf(f.file), f.line > 0 ? f.line : INT_MAX);
        };
        return key(a) < key(b);
    });
    for (const Finding &f : findings)
        std::fprintf(stderr, "%s\n", qPrintable(reportLine(f)));
}

// Thrown when the pictures could not all be drawn, so that nothing written is kept.
struct NotDrawn {};

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
        std::fprintf(stderr, "usage: make-material MATERIAL_DIR|TABLES_FILE OUTPUT_DIR\n");
        return 2;
    }
    QString source = args[1];
    const QString root = QDir(args[2]).absolutePath();
    // A tables file (the editor's 「書き出す」) is tried as its folder would be.
    QTemporaryDir unpacked;
    try {
        if (QFileInfo(source).isFile()) {
            unpackTablesFile(source, unpacked.path());
            source = unpacked.path();
        }
        requireMinchoFaces();
        installFontSubstitutes();
        requireSeparateFolders(source, root);
        refuseInstalledData(root);
        LoadedTables loaded = loadTables(source, setupNumbers());
        const Tables &tables = loaded.tables;
        QList<Finding> &findings = loaded.findings;
        if (errorCount(findings) == 0) {
            try {
                const int pictures = writeAllOrNothing(root, [&](const QString &out) {
                    makeFolders(out, {fragment::GasNormal, fragment::ReagentNormal,
                                      fragment::Equation, fragment::Apparatus, fragment::Properties,
                                      fragment::RightSound, fragment::QuestionFile});
                    writeBank(out, tables);
                    writePictures(out, tables, findings);
                    if (errorCount(findings) > 0)
                        throw NotDrawn();
                    writePictureTexts(out, tables);
                    writeChime(dataPath(out, fragment::RightSound));
                    writeBuzzer(dataPath(out, fragment::WrongSound));
                    writeMaterialRecord(out, tables);
                });
                printFindings(findings);
                std::printf("できました: %s（問題 %d 問、画像 %d 枚）\n", qPrintable(root),
                            int(tables.questions.size()), pictures);
                return 0;
            } catch (const NotDrawn &) {
            }
        } else {
            drawWhatCanBeDrawn(tables, findings);
        }
        printFindings(findings);
        std::fprintf(stderr,
                     "make-material: エラーが %lld 件あります。表を直してから、もう一度実行して"
                     "ください（%s は前のままです）\n",
                     static_cast<long long>(errorCount(findings)), qPrintable(root));
        return 1;
    } catch (const RuntimeError &e) {
        std::fprintf(stderr, "make-material: %s\n", qPrintable(e.reportLine()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make-material: %s\n", e.what());
        return 1;
    }
    return 0;
}
