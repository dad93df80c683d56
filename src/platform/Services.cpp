#include "platform/Services.h"

#include "platform/QtSoundPlayer.h"

namespace vaporica {

Services &services() {
    static Services instance;
    return instance;
}

void useProductionServices() {
    Services &s = services();
    s.clock = std::make_shared<SystemClock>();
    s.random = std::make_shared<Rnd24>();
    s.makeSoundPlayer = [] { return std::make_unique<QtSoundPlayer>(); };
}

} // namespace vaporica
