#include "assets/PictureLoader.h"

#include "assets/DataFile.h"
#include "assets/DataPaths.h"
#include "base/RuntimeError.h"

#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <algorithm>
#include <cstdlib>

namespace vaporica {

namespace {

// Two pictures are alike when their blocks of AlikeBlock pixels a side differ in average colour by
// at most AlikeTolerance levels (of 255) on the whole: drawn again at twice the size, type and
// lines fall on other pixels in the same places (the generator's differ by up to 7.5 levels, on
// the name plates), while another drawing, a photograph or a blank differs by far more. Pictures
// of one layout with other words, such as two gas plates, may pass: this is a rough likeness.
constexpr int AlikeBlock = 4;
constexpr double AlikeTolerance = 12.0;

// The data folders hold GIF pictures, and BMP, which the program has always read: nothing else
// is decoded. A markup format (SVG) is a program of sorts, and other formats under a picture name
// may hide far more than their header declares (an icon embedding a 6000 x 5000 PNG, a JPEG of
// 100,000 progressive scans).
bool isAcceptedFormat(const QByteArray &format) {
    return format == "gif" || format == "bmp";
}

// A GIF's logical screen, which Qt decodes whatever size its frames declare.
QSize gifScreen(QFile &file) {
    const QByteArray head = file.peek(10);
    if (head.size() < 10)
        return {};
    const auto le16 = [&](int at) { return quint8(head[at]) | (quint8(head[at + 1]) << 8); };
    return QSize(le16(6), le16(8));
}

RuntimeError invalidPicture(const QString &path, const QString &why) {
    return RuntimeError(ErrorNumber::InvalidPicture,
                        QStringLiteral("ピクチャが無効です (%1)").arg(why), path);
}

// Refuses a header that declares more pixels than the program could ever show, before a single
// pixel is decoded: a few kilobytes of GIF may declare gigabytes of picture.
void checkDeclaredSize(const QString &path, const QSize &size) {
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        throw invalidPicture(path, QStringLiteral("%1 × %2 ピクセル。大きさの上限は %3 × %3")
                                       .arg(size.width())
                                       .arg(size.height())
                                       .arg(MaxPictureSide));
}

} // namespace

QImage loadPixels(const QString &path) {
    if (QFileInfo(path).isDir())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           path);
    QFile file;
    openDataFile(path, file);
    const QByteArray format = QImageReader::imageFormat(&file);
    if (!isAcceptedFormat(format))
        throw invalidPicture(path, format.isEmpty()
                                       ? QStringLiteral("画像の形式ではありません")
                                       : QStringLiteral("%1 形式は読み込めません。GIF か BMP で"
                                                        "保存してください")
                                             .arg(QString::fromLatin1(format.toUpper())));
    if (format == "gif")
        checkDeclaredSize(path, gifScreen(file));
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    // Whatever a header says, decoding stops at the largest picture the program accepts.
    reader.setAllocationLimit(MaxPictureSide * MaxPictureSide * 4 / (1024 * 1024) + 1);
    checkDeclaredSize(path, reader.size());
    const QImage picture = reader.read();
    if (picture.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("ファイルを読み込めません"), path);
        throw invalidPicture(path, reader.errorString());
    }
    QImage converted = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull())
        throw RuntimeError(ErrorNumber::OutOfMemory, QStringLiteral("メモリが不足しています"),
                           path);
    return converted;
}

namespace {

int channelDifference(QRgb p, QRgb q) {
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                     std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
}

// The average colour of each block of AlikeBlock pixels a side, at the picture's own size: what
// the eye sees of it from a little way off.
QImage blocksOf(const QImage &picture, QSize size) {
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The mean over the pixels of two pictures of one size of their largest channel difference.
double meanDifference(const QImage &a, const QImage &b) {
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += channelDifference(p[x], q[x]);
    }
    return double(sum) / (qint64(a.width()) * a.height());
}

// Whether the screens can use pictures drawn at twice the size: on a denser screen anywhere.
bool denserScreen() {
    return qGuiApp && qGuiApp->devicePixelRatio() > 1.0;
}

} // namespace

QString doubleSizeMismatch(const QImage &single, const QImage &doubled) {
    if (doubled.size() != single.size() * 2)
        return QStringLiteral("%1 × %2 ピクセルです。%3 × %4 の画像を 2 倍の大きさで描いたものの"
                              "はずです")
            .arg(doubled.width())
            .arg(doubled.height())
            .arg(single.width())
            .arg(single.height());
    const QSize blocks(qMax(1, single.width() / AlikeBlock), qMax(1, single.height() / AlikeBlock));
    const double difference = meanDifference(blocksOf(single, blocks), blocksOf(doubled, blocks));
    if (difference > AlikeTolerance)
        return QStringLiteral(
                   "元の大きさの画像と同じ絵ではありません（違い %1、許されるのは %2 まで）")
            .arg(difference, 0, 'f', 1)
            .arg(AlikeTolerance, 0, 'f', 1);
    return {};
}

namespace {

// A file as it is now: a replaced file differs in size or time of change.
struct FileVersion {
    qint64 size = -1;
    QDateTime changed;
    bool operator==(const FileVersion &) const = default;
};

FileVersion versionOf(const QString &path) {
    const QFileInfo info(path);
    return {info.size(), info.lastModified()};
}

struct KeptDouble {
    QImage picture;
    FileVersion own, doubled;
};

// Pictures at twice the size, read and checked against their own, kept while neither file has
// changed: on a denser screen the gas quiz shows 40 of them at every load, at four times the
// pixels of its own. All of the plates take about 6 MB.
constexpr qsizetype KeptDoubleBytes = 16 * 1024 * 1024;

QCache<QString, KeptDouble> &keptDoubles() {
    static QCache<QString, KeptDouble> kept(KeptDoubleBytes);
    return kept;
}

QImage checkedDouble(const QString &path, const QString &doubledPath, const QImage &own) {
    const FileVersion ownVersion = versionOf(path), doubledVersion = versionOf(doubledPath);
    if (const KeptDouble *kept = keptDoubles().object(doubledPath);
        kept && kept->own == ownVersion && kept->doubled == doubledVersion)
        return kept->picture;
    QImage doubled = loadPixels(doubledPath);
    if (const QString why = doubleSizeMismatch(own, doubled); !why.isEmpty())
        throw invalidPicture(doubledPath, why + QStringLiteral("。作り直すか、消してください"));
    keptDoubles().insert(doubledPath, new KeptDouble{doubled, ownVersion, doubledVersion},
                         doubled.sizeInBytes());
    return doubled;
}

} // namespace

void forgetKeptDoubles() {
    keptDoubles().clear();
}

PictureFile loadPicture(const QString &path) {
    PictureFile file{loadPixels(path), {}};
    const QString doubledPath = doubleSizePath(path);
    if (denserScreen() && QFileInfo::exists(doubledPath))
        file.doubled = checkedDouble(path, doubledPath, file.pixels);
    return file;
}

PictureFile loadNumberedPicture(const QString &path, const QString &numberFrom) {
    if (!QFileInfo::exists(path))
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           QStringLiteral("%1 (%2 が指す画像です。番号か画像を直してください)")
                               .arg(path, numberFrom));
    return loadPicture(path);
}

} // namespace vaporica
