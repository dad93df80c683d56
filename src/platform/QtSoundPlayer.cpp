#include "platform/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace vaporica {

namespace {
void warn(const QString &path, const char *why) {
    std::fprintf(stderr, "ヴァポリカ: 音を鳴らせません (%s): %s\n", why, path.toUtf8().constData());
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
    const QUrl url = QUrl::fromLocalFile(path);
    if (effect_->source() != url)
        effect_->setSource(url);
    effect_->play();
}

} // namespace vaporica
