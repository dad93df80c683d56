#pragma once

#include <QString>
#include <memory>

namespace vaporica {

// Plays a WAV file once, at once, showing nothing; returns without waiting for the sound.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &path) = 0;
};

} // namespace vaporica
