// Checks a data directory as the program will use it: the two question-bank files (count, range
// and numbering of every value, with its line and position), then every picture and sound that
// those files and the fixed ranges call for, present and decodable. Exit status 0 only when the
// directory is complete. Usage: check-material DIR

#include "app/RuntimeError.h"
#include "app/SharedVariables.h"
#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "bank/NumberReader.h"
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

// Reads `count` values of a bank file with the program's reader, reporting each bad one where it
// stands; returns the values (0 for the missing ones), or nothing when the file cannot be read.
std::optional<QList<int>> readValues(Report &report, const QString &fragmentName, int count,
                                     int perRecord, const Field *fields, const QString &unit) {
    const QString path = dataPath(report.root(), fragmentName);
    const QString name = report.shown(path);
    QList<int> values;
    try {
        NumberReader reader(path);
        for (int i = 0; i < count; ++i) {
            const int record = i / perRecord + 1;
            const Field &field = fields[i % perRecord];
            const QString where = QStringLiteral("%1 %2 の%3")
                                      .arg(unit)
                                      .arg(record)
                                      .arg(QString::fromUtf8(field.name));
            const std::optional<ReadValue> v = reader.tryNext();
            if (!v) {
                report.problem(
                    QStringLiteral(
                        "%1: 値が %2 個しかありません。%3 個必要です（%4から先がありません）")
                        .arg(name)
                        .arg(i)
                        .arg(count)
                        .arg(where));
                while (values.size() < count)
                    values << 0;
                return values;
            }
            const QString at = QStringLiteral("%1:%2: %3 番目の値（%4）")
                                   .arg(name)
                                   .arg(v->line)
                                   .arg(v->position)
                                   .arg(where);
            if (!v->wasNumber)
                report.problem(
                    v->text.isEmpty()
                        ? QStringLiteral("%1が空です（0 と読まれます）").arg(at)
                        : QStringLiteral("%1 \"%2\" は整数ではありません（%3 と読まれます）")
                              .arg(at, shownField(v->text, v->textCut))
                              .arg(v->value));
            else if (v->value < field.low || v->value > field.high)
                report.problem(
                    QStringLiteral("%1が %2 です。%3 でなければなりません")
                        .arg(at)
                        .arg(v->value)
                        .arg(field.high == 32767
                                 ? QStringLiteral("%1 以上").arg(field.low)
                                 : QStringLiteral("%1..%2").arg(field.low).arg(field.high)));
            values << v->value;
        }
        // The program never reads past the values it needs, so neither does the check.
        if (const auto extraLine = reader.lineOfNext())
            report.note(QStringLiteral("%1:%2: %3 番目からの値は読まれません")
                            .arg(name)
                            .arg(*extraLine)
                            .arg(reader.valuesRead() + 1));
    } catch (const RuntimeError &e) {
        report.problem(QStringLiteral("%1: %2").arg(name, e.reportLine()));
        return std::nullopt;
    }
    return values;
}

// Decodes as the program does, and also through giflib, which insists on complete image data
// (Qt may show a cut-off GIF without complaint).
bool checkPicture(Report &report, const QString &path, std::optional<QSize> drawnFor) {
    const QString name = report.shown(path);
    if (!QFileInfo::exists(path)) {
        report.problem(QStringLiteral("%1: ファイルがありません").arg(name));
        return false;
    }
    QImage picture;
    try {
        picture = loadPicture(path);
    } catch (const RuntimeError &e) {
        report.problem(QStringLiteral("%1: 画像として読めません（%2）").arg(name, e.message()));
        return false;
    }
    int error = 0;
    GifFileType *gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif || DGifSlurp(gif) == GIF_ERROR || gif->ImageCount < 1) {
        const int code = gif ? gif->Error : error;
        report.problem(QStringLiteral("%1: GIF が壊れています（%2）")
                           .arg(name, QString::fromLatin1(GifErrorString(code))));
        if (gif)
            DGifCloseFile(gif, &error);
        return false;
    }
    DGifCloseFile(gif, &error);
    if (drawnFor && picture.size() != *drawnFor)
        report.note(
            QStringLiteral("%1: 大きさが %2×%3 です（画面は %4×%5 の画像に合わせてあります）")
                .arg(name)
                .arg(picture.width())
                .arg(picture.height())
                .arg(drawnFor->width())
                .arg(drawnFor->height()));
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
    const auto questions = readValues(report, fragment::QuestionFile, MaxQuestions * 6, 6,
                                      QuestionFields, QStringLiteral("問題"));
    if (questions)
        for (int q = 0; q < MaxQuestions; ++q)
            if ((*questions)[q * 6 + 5] >= 1)
                apparatus.insert((*questions)[q * 6 + 5]);
    const auto gases = readValues(report, fragment::GasApparatusFile, GasCount, 1,
                                  &GasApparatusField, QStringLiteral("気体"));
    if (gases)
        for (int n : *gases)
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
