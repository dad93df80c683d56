#pragma once

#include "platform/SoundPlayer.h"

#include <memory>

class QSoundEffect;

namespace vaporica {

// Plays through QSoundEffect. A missing or unplayable file plays nothing and prints one warning
// naming it; a sound never stops the lesson.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &path) override;

    // The effect the player drives, for tests: its state shows whether a sound was started,
    // whatever audio device the machine has.
    const QSoundEffect &effect() const { return *effect_; }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace vaporica
