#include "platform/WavFile.h"

#include <optional>

namespace vaporica {

namespace {

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

// A chunk name as it may be printed: four letters, anything unprintable as '?'.
QString printable(QByteArray id) {
    for (char &c : id)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return QString::fromLatin1(id);
}

struct Format {
    quint32 channels = 0;
    quint32 blockAlign = 0;
};

// The "fmt " chunk's body: PCM, IEEE float, or the extensible header that wraps either.
QString formatProblem(const QByteArray &body, Format &format) {
    if (body.size() < 16)
        return QStringLiteral("音の形式 (fmt) が短すぎます");
    const quint32 tag = littleEndian(body, 0, 2);
    format.channels = littleEndian(body, 2, 2);
    const quint32 rate = littleEndian(body, 4, 4);
    format.blockAlign = littleEndian(body, 12, 2);
    const quint32 bits = littleEndian(body, 14, 2);
    if (tag != 1 && tag != 3 && tag != 0xFFFE)
        return QStringLiteral("PCM でない音の形式 (%1)").arg(tag);
    const bool bitsOk = bits == 8 || bits == 16 || bits == 24 || bits == 32 || bits == 64;
    if (format.channels < 1 || format.channels > 8 || rate < 1000 || rate > 384000 || !bitsOk ||
        format.blockAlign != format.channels * bits / 8)
        return QStringLiteral("音の形式 (fmt) が壊れています");
    return {};
}

} // namespace

QString wavProblem(QIODevice &file) {
    const qint64 size = file.size();
    if (!file.seek(0))
        return QStringLiteral("読み込めません");
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return QStringLiteral("WAV ファイルではありません");
    std::optional<Format> format;
    int chunks = 0;
    for (qint64 at = 12; at + 8 <= size;) {
        if (++chunks > MaxSoundChunks)
            return QStringLiteral("チャンクが多すぎます (音のデータの前に %1 個を超えています)")
                .arg(MaxSoundChunks);
        if (!file.seek(at))
            return QStringLiteral("読み込めません");
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return QStringLiteral("読み込めません");
        const QByteArray id = header.left(4);
        const qint64 length = littleEndian(header, 4, 4);
        if (at + 8 + length > size)
            return QStringLiteral("ファイルが途中で切れています (%1 チャンクは %2 バイトのはずが、"
                                  "残りは %3 バイト)")
                .arg(printable(id))
                .arg(length)
                .arg(size - at - 8);
        if (id != "data" && 8 + length + (length & 1) > MaxChunkBeforeDataBytes)
            return QStringLiteral(
                       "%1 チャンクが長すぎます (%2 バイト。音のデータより前のチャンクは "
                       "%3 バイトまでです。情報を付けずに WAV で保存し直してください)")
                .arg(printable(id))
                .arg(length)
                .arg(MaxChunkBeforeDataBytes - 8);
        if (id == "fmt ") {
            Format found;
            if (const QString problem = formatProblem(file.read(qMin<qint64>(length, 40)), found);
                !problem.isEmpty())
                return problem;
            format = found;
        } else if (id == "data") {
            if (!format)
                return QStringLiteral("音の形式 (fmt) がデータの前にありません");
            if (length < format->blockAlign || length % format->blockAlign != 0)
                return QStringLiteral("音のデータが %1 バイトで、ひとつの音の単位 (%2 バイト) "
                                      "に合いません")
                    .arg(length)
                    .arg(format->blockAlign);
            if (length > MaxSoundDataBytes)
                return QStringLiteral("音が長すぎます (%1 MB)").arg(length / (1024 * 1024));
            return {};
        }
        at += 8 + length + (length & 1);
    }
    return QStringLiteral("音のデータ (data) がありません");
}

} // namespace vaporica
