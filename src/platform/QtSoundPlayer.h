#pragma once

#include "platform/SoundPlayer.h"

#include <QUrl>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

class QSoundEffect;

namespace vaporica {

// Plays through QSoundEffect. A missing, damaged or unplayable file plays nothing and prints one
// warning naming it; a sound never stops the lesson.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &path) override;

    // The effect of the sound last started, for tests: its state shows whether the sound was
    // started, whatever audio device the machine has. Nothing before the first.
    const QSoundEffect *lastStarted() const { return lastStarted_; }

    // Whether a player went while one of its sounds still loaded; the process must then end
    // without Qt Multimedia's own clean-up, which would wait for that load for good.
    static bool soundLeftLoading();

    // Whether the sound server has been asked whether it answers, waiting up to `wait`. Until then
    // sounds are silent: the first player asks it in the background, so the window never waits.
    static bool serverAsked(std::chrono::milliseconds wait);

private:
    QSoundEffect &effectFor(const QUrl &url);

    std::vector<std::pair<QUrl, std::unique_ptr<QSoundEffect>>> effects_;
    QSoundEffect *lastStarted_ = nullptr;
};

} // namespace vaporica
