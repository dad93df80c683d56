// Checks a data directory as the program will use it: the two question-bank files (count, range
// and numbering of every value, with its line and position), then every picture and sound that
// those files and the fixed ranges call for, present and decodable. Exit status 0 only when the
// directory is complete. Usage: check-material DIR

#include "MaterialRecord.h"
#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "bank/NumberReader.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "platform/RegularFile.h"
#include "platform/WavFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSize>
#include <algorithm>
#include <cstdio>
#include <gif_lib.h>
#include <optional>
#include <sndfile.h>

using namespace vaporica;

namespace {

class Report {
public:
    explicit Report(QString root) : root_(std::move(root)) {}
    QString shown(const QString &path) const {
        return QDir::toNativeSeparators(QDir(root_).relativeFilePath(path));
    }
    void problem(const QString &text) {
        ++problems_;
        std::printf("エラー: %s\n", qPrintable(text));
    }
    void note(const QString &text) { std::printf("注意: %s\n", qPrintable(text)); }
    int problems() const { return problems_; }
    const QString &root() const { return root_; }

private:
    QString root_;
    int problems_ = 0;
};

struct Field {
    const char *name;
    int low, high;
};

// What each value of a question record means and the range the screens rely on; the apparatus
// number has no fixed upper bound, its picture must exist.
const Field QuestionFields[] = {{"気体", 1, GasCount},       {"薬品1", 1, ReagentCount},
                                {"薬品2", 1, ReagentCount},  {"発生装置", 1, GeneratorCount},
                                {"捕集", 1, CollectorCount}, {"装置図", 1, 32767}};
const Field GasApparatusField = {"装置図", 1, 32767};

// The values of a bank file as the checks below use them: 0 for one missing or out of range.
struct BankFile {
    QList<int> values;
    QList<int> recordLines; // the line of each record read
    bool whole = false;     // every record read, each on a line of its own
};

// How many values stand on `line` of the file, counted by a reader of its own (the reader that
// found the line cannot go back).
int valuesOnLine(const QString &path, int line) {
    int count = 0;
    try {
        NumberReader reader(path);
        while (const std::optional<ReadValue> v = reader.tryNext()) {
            if (v->line > line)
                break;
            count += v->line == line;
        }
    } catch (const RuntimeError &) {
    }
    return count;
}

// Reads the records of a bank file with the program's reader, one record to a line, reporting
// each bad value where it stands. A line with too many or too few values stops the reading with
// one report naming that line: every value after it would be read one place out, and its own
// report would only repeat that. Nothing when the file cannot be read.
std::optional<BankFile> readValues(Report &report, const QString &fragmentName, int records,
                                   int perRecord, const Field *fields, const QString &unit) {
    const QString path = dataPath(report.root(), fragmentName);
    const QString name = report.shown(path);
    QStringList fieldNames;
    for (int k = 0; k < perRecord; ++k)
        fieldNames << QString::fromUtf8(fields[k].name);
    const auto wrongCount = [&](int record, int line) {
        report.problem(QStringLiteral("%1:%2: %3 %4 の行に値が %5 個あります。一行に %6 個（%7）"
                                      "のはずです。この行を直してください（この先の値は確かめて"
                                      "いません）")
                           .arg(name)
                           .arg(line)
                           .arg(unit)
                           .arg(record)
                           .arg(valuesOnLine(path, line))
                           .arg(perRecord)
                           .arg(fieldNames.join(QLatin1Char(','))));
    };
    BankFile bank;
    try {
        NumberReader reader(path);
        int lastLine = 0;
        for (int record = 1; record <= records; ++record) {
            QList<ReadValue> read;
            while (read.size() < perRecord) {
                std::optional<ReadValue> v = reader.tryNext();
                if (!v)
                    break;
                read << *v;
            }
            if (!read.isEmpty() && read[0].line == lastLine) {
                wrongCount(record - 1, lastLine);
                return bank;
            }
            if (read.isEmpty()) {
                report.problem(QStringLiteral("%1: 値が %2 個しかありません。%3 個必要です（%4 %5 "
                                              "から先がありません）")
                                   .arg(name)
                                   .arg((record - 1) * perRecord)
                                   .arg(records * perRecord)
                                   .arg(unit)
                                   .arg(record));
                return bank;
            }
            // Too few values on the line: the record runs on to the next, or the file ends.
            for (const ReadValue &v : read)
                if (read.size() < perRecord || v.line != read[0].line) {
                    wrongCount(record, read[0].line);
                    return bank;
                }
            lastLine = read[0].line;
            bank.recordLines << lastLine;
            for (int k = 0; k < perRecord; ++k) {
                const ReadValue &v = read[k];
                const Field &field = fields[k];
                const QString at = QStringLiteral("%1:%2: %3 番目の値（%4 %5 の%6）")
                                       .arg(name)
                                       .arg(v.line)
                                       .arg(v.position)
                                       .arg(unit)
                                       .arg(record)
                                       .arg(QString::fromUtf8(field.name));
                bool good = false;
                if (!v.wasNumber)
                    report.problem(
                        v.text.isEmpty()
                            ? QStringLiteral("%1が空です（0 と読まれます）").arg(at)
                            : QStringLiteral("%1 \"%2\" は整数ではありません（%3 と読まれます）")
                                  .arg(at, shownField(v.text, v.textCut))
                                  .arg(v.value));
                else if (v.value < field.low || v.value > field.high)
                    report.problem(
                        QStringLiteral("%1が %2 です。%3 でなければなりません")
                            .arg(at)
                            .arg(v.value)
                            .arg(field.high == 32767
                                     ? QStringLiteral("%1 以上").arg(field.low)
                                     : QStringLiteral("%1..%2").arg(field.low).arg(field.high)));
                else
                    good = true;
                bank.values << (good ? int(v.value) : 0);
            }
        }
        // The program never reads past the values it needs, so neither does the check.
        if (const auto extraLine = reader.lineOfNext()) {
            if (*extraLine == lastLine) {
                wrongCount(records, lastLine);
                return bank;
            }
            report.note(QStringLiteral("%1:%2: %3 番目からの値は読まれません")
                            .arg(name)
                            .arg(*extraLine)
                            .arg(reader.valuesRead() + 1));
        }
    } catch (const RuntimeError &e) {
        report.problem(QStringLiteral("%1: %2").arg(name, e.reportLine()));
        return std::nullopt;
    }
    bank.whole = true;
    return bank;
}

// Why giflib, which insists on complete image data, cannot read the file (Qt may show a cut-off
// GIF without complaint); empty when it can.
QString gifProblem(const QString &path) {
    int error = 0;
    GifFileType *gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif || DGifSlurp(gif) == GIF_ERROR || gif->ImageCount < 1) {
        const int code = gif ? gif->Error : error;
        if (gif)
            DGifCloseFile(gif, &error);
        return QString::fromLatin1(GifErrorString(code));
    }
    DGifCloseFile(gif, &error);
    return {};
}

// The picture decoded as the program does and through giflib; nothing when it is not usable.
std::optional<QImage> decodedPicture(Report &report, const QString &path) {
    const QString name = report.shown(path);
    QImage picture;
    try {
        picture = loadPixels(path);
    } catch (const RuntimeError &e) {
        report.problem(QStringLiteral("%1: 画像として読めません（%2）").arg(name, e.message()));
        return std::nullopt;
    }
    if (const QString problem = gifProblem(path); !problem.isEmpty()) {
        report.problem(QStringLiteral("%1: GIF が壊れています（%2）").arg(name, problem));
        return std::nullopt;
    }
    return picture;
}

// The same picture drawn at twice the size beside it, which a denser screen shows instead: none,
// or a good one of the same picture.
void checkDoubleSize(Report &report, const QString &path, const QImage &single) {
    const QString doubled = doubleSizePath(path);
    if (!QFileInfo::exists(doubled))
        return;
    const std::optional<QImage> picture = decodedPicture(report, doubled);
    if (!picture)
        return;
    if (const QString why = doubleSizeMismatch(single, *picture); !why.isEmpty())
        report.problem(QStringLiteral("%1: %2。make-material で作り直すか、消してください（消せ"
                                      "ば %3 を拡大して表示します）")
                           .arg(report.shown(doubled), why, report.shown(path)));
}

bool checkPicture(Report &report, const QString &path, std::optional<QSize> drawnFor) {
    const QString name = report.shown(path);
    if (!QFileInfo::exists(path)) {
        report.problem(QStringLiteral("%1: ファイルがありません").arg(name));
        return false;
    }
    const std::optional<QImage> picture = decodedPicture(report, path);
    if (!picture)
        return false;
    if (drawnFor && picture->size() != *drawnFor)
        report.note(
            QStringLiteral("%1: 大きさが %2×%3 です（画面は %4×%5 の画像に合わせてあります）")
                .arg(name)
                .arg(picture->width())
                .arg(picture->height())
                .arg(drawnFor->width())
                .arg(drawnFor->height()));
    checkDoubleSize(report, path, *picture);
    return true;
}

bool checkSound(Report &report, const QString &fragmentName) {
    const QString path = dataPath(report.root(), fragmentName);
    const QString name = report.shown(path);
    if (!QFileInfo::exists(path)) {
        report.problem(QStringLiteral("%1: ファイルがありません").arg(name));
        return false;
    }
    // The player's own check first: it refuses what could hang or swamp the player, and a data
    // size beyond the file would make the decoding below allocate for it.
    QFile wav;
    const OpenOutcome outcome = openRegularFile(path, wav);
    const QString problem = outcome == OpenOutcome::Opened ? wavProblem(wav) : openProblem(outcome);
    if (!problem.isEmpty()) {
        report.problem(QStringLiteral("%1: 音として使えません（%2）").arg(name, problem));
        return false;
    }
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        report.problem(QStringLiteral("%1: 音として読めません（%2）")
                           .arg(name, QString::fromUtf8(sf_strerror(nullptr))));
        return false;
    }
    std::vector<float> samples(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV)
        report.problem(QStringLiteral("%1: WAV ではありません").arg(name));
    else if (info.frames <= 0 || got != info.frames)
        report.problem(QStringLiteral("%1: 音のデータが欠けています").arg(name));
    else
        return true;
    return false;
}

// With the record the generator leaves beside the bank: every picture the one made, every
// picture the bank names made for its question, and the chemistry of the bank's questions.
void checkWhatItWasMadeFrom(Report &report, const BankFile &questions, const BankFile &gases) {
    QList<material::Finding> findings;
    const std::optional<material::MaterialRecord> made =
        material::readMaterialRecord(report.root(), findings);
    if (made) {
        material::BankValues bank;
        for (int q = 0; q < MaxQuestions; ++q) {
            material::Record r{};
            std::copy_n(questions.values.begin() + q * 6, 6, r.begin());
            bank.questions << r;
        }
        bank.questionLines = questions.recordLines;
        bank.gasApparatus = gases.values;
        bank.gasLines = gases.recordLines;
        findings += material::checkAgainstRecord(report.root(), *made, bank);
    } else if (findings.isEmpty()) {
        report.note(QStringLiteral("説明/material.tsv がありません。画像が問題と組になっているか、"
                                   "問題の化学が正しいかは確かめていません（vaporica-make-material "
                                   "で作ったデータなら確かめます）"));
    }
    for (const material::Finding &f : findings) {
        const QString line = QStringLiteral("%1: %2").arg(material::placeOf(f), f.message);
        if (f.severity == material::Severity::Error)
            report.problem(line);
        else
            report.note(line);
    }
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: check-material DIR\n");
        return 2;
    }
    const QString root = QDir(args[1]).absolutePath();
    Report report(root);
    if (!QFileInfo(root).isDir()) {
        std::printf("check-material: %s: フォルダがありません\n", qPrintable(args[1]));
        return 1;
    }

    QSet<int> apparatus;
    const auto questions = readValues(report, fragment::QuestionFile, MaxQuestions, 6,
                                      QuestionFields, QStringLiteral("問題"));
    if (questions)
        for (qsizetype i = 5; i < questions->values.size(); i += 6)
            if (questions->values[i] >= 1)
                apparatus.insert(questions->values[i]);
    const auto gases = readValues(report, fragment::GasApparatusFile, GasCount, 1,
                                  &GasApparatusField, QStringLiteral("気体"));
    if (gases)
        for (int n : gases->values)
            if (n >= 1)
                apparatus.insert(n);

    int pictures = 0;
    auto family = [&](const QString &prefix, int last, std::optional<QSize> size) {
        for (int n = 1; n <= last; ++n)
            pictures += checkPicture(report, picturePathUnder(root, prefix, n), size) ? 1 : 0;
    };
    family(fragment::GasNormal, GasCount, QSize(120, 40));
    family(fragment::GasHighlighted, GasCount, QSize(120, 40));
    family(fragment::ReagentNormal, ReagentCount, QSize(180, 40));
    family(fragment::ReagentHighlighted, ReagentCount, QSize(180, 40));
    family(fragment::Equation, MaxQuestions, QSize(485, 95));
    family(fragment::Properties, GasCount, QSize(342, 237));
    QList<int> sorted = apparatus.values();
    std::sort(sorted.begin(), sorted.end());
    for (int n : sorted)
        pictures +=
            checkPicture(report, picturePathUnder(root, fragment::Apparatus, n), std::nullopt) ? 1
                                                                                               : 0;
    int sounds = 0;
    sounds += checkSound(report, fragment::RightSound) ? 1 : 0;
    sounds += checkSound(report, fragment::WrongSound) ? 1 : 0;
    if (questions && questions->whole && gases && gases->whole)
        checkWhatItWasMadeFrom(report, *questions, *gases);

    const QString dir = QDir::toNativeSeparators(root);
    if (report.problems() > 0) {
        std::printf(
            "check-material: %s: 不完全です。エラー %d 件（画像 %d 枚、音 %d 個が使えます）\n",
            qPrintable(dir), report.problems(), pictures, sounds);
        return 1;
    }
    std::printf(
        "check-material: %s: 完全です（問題 %d 問、気体 %d、薬品 %d、装置図 %lld 枚、画像 %d "
        "枚、音 %d 個）\n",
        qPrintable(dir), int(MaxQuestions), int(GasCount), int(ReagentCount),
        static_cast<long long>(sorted.size()), pictures, sounds);
    return 0;
}
