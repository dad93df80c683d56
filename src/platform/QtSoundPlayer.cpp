#include "platform/QtSoundPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace vaporica {

namespace {
void warn(const QString &path, const char *why) {
    std::fprintf(stderr, "ヴァポリカ: 音を鳴らせません (%s): %s\n", why, path.toUtf8().constData());
}

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

// The player's own decoder prints a second, differently worded line for a file it cannot read, so
// the header is checked here first: a RIFF/WAVE file with a PCM or float format and sample data.
bool looksPlayable(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4096);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    for (qsizetype at = 12; at + 8 <= head.size();) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = littleEndian(head, at + 4, 4);
        if (id == "fmt " && at + 10 <= head.size()) {
            const quint32 tag = littleEndian(head, at + 8, 2);
            // PCM, IEEE float, or the extensible header that wraps either.
            format = tag == 1 || tag == 3 || tag == 0xFFFE;
        } else if (id == "data") {
            return format && size > 0;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return false;
}
} // namespace

QtSoundPlayer::QtSoundPlayer() : effect_(std::make_unique<QSoundEffect>()) {
    // Six decibels below full, as the lesson's sounds were always played.
    effect_->setVolume(0.5f);
    QObject::connect(effect_.get(), &QSoundEffect::statusChanged, effect_.get(), [this] {
        if (effect_->status() == QSoundEffect::Error)
            warn(effect_->source().toLocalFile(), "再生できないファイル");
    });
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const QString &path) {
    if (!QFileInfo(path).isFile()) {
        warn(path, "ファイルがありません");
        return;
    }
    if (!looksPlayable(path)) {
        warn(path, "再生できないファイル");
        return;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    if (effect_->source() != url)
        effect_->setSource(url);
    effect_->play();
}

} // namespace vaporica
