#include "platform/QtSoundPlayer.h"

#include "platform/RegularFile.h"
#include "platform/SoundServer.h"
#include "platform/WavFile.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#include <atomic>
#include <cstdio>
#include <future>

namespace vaporica {

namespace {

using namespace std::chrono_literals;

// Set once an effect goes while its sound still loads: Qt's sample cache then waits at the
// process's end on a loader thread that waits on the cache, for good.
std::atomic<bool> aSoundLeftLoading{false};

// The sound server is asked once per process, off the window's thread, as soon as the first
// player exists: a quiz screen opens well before the first answer, so a server that answers is
// known by then and a hung one never holds the window.
std::shared_future<bool> &serverProbe() {
    static std::shared_future<bool> probe =
        std::async(std::launch::async, [] { return soundServerAnswers(1500ms); }).share();
    return probe;
}

// Whether sounds may be started now: not while the server is still being asked (the window never
// waits for it), never once it proved hung.
bool serverUsable() {
    std::shared_future<bool> &probe = serverProbe();
    if (probe.wait_for(0ms) != std::future_status::ready)
        return false;
    static const bool answers = [&] {
        const bool ok = probe.get();
        if (!ok)
            std::fprintf(stderr, "ヴァポリカ: サウンドサーバーが応答しません。音なしで続けます\n");
        return ok;
    }();
    return answers;
}

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

QtSoundPlayer::QtSoundPlayer() {
    serverProbe();
}

QtSoundPlayer::~QtSoundPlayer() {
    for (const auto &entry : effects_)
        if (entry.second->status() == QSoundEffect::Loading)
            aSoundLeftLoading = true;
}

bool QtSoundPlayer::serverAsked(std::chrono::milliseconds wait) {
    return serverProbe().wait_for(wait) == std::future_status::ready;
}

bool QtSoundPlayer::soundLeftLoading() {
    return aSoundLeftLoading;
}

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
    if (!serverUsable())
        return;
    QSoundEffect &effect = effectFor(QUrl::fromLocalFile(path));
    effect.play();
    lastStarted_ = &effect;
}

} // namespace vaporica
