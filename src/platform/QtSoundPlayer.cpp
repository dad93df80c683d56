#include "platform/QtSoundPlayer.h"

#include "platform/RegularFile.h"
#include "platform/WavFile.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace vaporica {

namespace {
void warn(const QString &path, const QString &why) {
    std::fprintf(stderr, "ヴァポリカ: 音を鳴らせません (%s): %s\n", why.toUtf8().constData(),
                 path.toUtf8().constData());
}

// Why the file cannot be played, or nothing. The structure is checked in full first: Qt's sample
// loader may wait for good on a damaged file, and the player's own decoder prints a second,
// differently worded line for a file it cannot read.
QString playProblem(const QString &path) {
    QFile file;
    const OpenOutcome outcome = openRegularFile(path, file);
    return outcome == OpenOutcome::Opened ? wavProblem(file) : openProblem(outcome);
}
} // namespace

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() = default;

QSoundEffect &QtSoundPlayer::effectFor(const QUrl &url) {
    // One effect per sound, each given its source once: a sample still loading is never replaced
    // under the player, which is where Qt's sample cache can wait.
    for (const auto &[source, effect] : effects_)
        if (source == url)
            return *effect;
    auto effect = std::make_unique<QSoundEffect>();
    // Six decibels below full, as the lesson's sounds were always played.
    effect->setVolume(0.5f);
    QSoundEffect *raw = effect.get();
    QObject::connect(raw, &QSoundEffect::statusChanged, raw, [raw] {
        if (raw->status() == QSoundEffect::Error)
            warn(raw->source().toLocalFile(), QStringLiteral("再生できないファイル"));
    });
    raw->setSource(url);
    effects_.emplace_back(url, std::move(effect));
    return *raw;
}

void QtSoundPlayer::play(const QString &path) {
    if (const QString problem = playProblem(path); !problem.isEmpty()) {
        warn(path, problem);
        return;
    }
    QSoundEffect &effect = effectFor(QUrl::fromLocalFile(path));
    effect.play();
    lastStarted_ = &effect;
}

} // namespace vaporica
