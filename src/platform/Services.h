#pragma once

#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/SoundPlayer.h"

#include <functional>
#include <memory>

namespace vaporica {

// The outside services the screens use; production fills them with the real ones, tests with a
// settable clock, a scripted generator and a sound recorder.
struct Services {
    std::shared_ptr<Clock> clock;
    std::shared_ptr<RandomSource> random;
    // Each screen with a player makes its own, as each carries its own player control.
    std::function<std::unique_ptr<SoundPlayer>()> makeSoundPlayer;
};

Services &services();
void useProductionServices();

} // namespace vaporica
