#pragma once

#include "platform/SoundPlayer.h"

#include <QUrl>
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

private:
    QSoundEffect &effectFor(const QUrl &url);

    std::vector<std::pair<QUrl, std::unique_ptr<QSoundEffect>>> effects_;
    QSoundEffect *lastStarted_ = nullptr;
};

} // namespace vaporica
