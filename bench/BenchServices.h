#pragma once

// The program's own clock and generator for the benchmarks, with a player that plays nothing:
// opening an audio device is not what they measure.

#include "platform/Services.h"

#include <memory>

namespace vaporica::bench {

class SilentPlayer final : public SoundPlayer {
public:
    void play(const QString &) override {}
};

inline void useBenchServices() {
    Services &s = services();
    s.clock = std::make_shared<SystemClock>();
    s.random = std::make_shared<Rnd24>();
    s.makeSoundPlayer = [] { return std::make_unique<SilentPlayer>(); };
}

} // namespace vaporica::bench
