#include "platform/Services.h"

#include "platform/SoundModule.h"

#include <QCoreApplication>

namespace vaporica {

Services &services() {
    static Services instance;
    return instance;
}

void useProductionServices() {
    Services &s = services();
    s.clock = std::make_shared<SystemClock>();
    s.random = std::make_shared<Rnd24>();
    s.makeSoundPlayer = [] {
        return makeModuleSoundPlayer(QCoreApplication::applicationDirPath() + '/' +
                                     QLatin1String(SoundModuleFile));
    };
}

} // namespace vaporica
