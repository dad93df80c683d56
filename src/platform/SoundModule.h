#pragma once

#include "platform/SoundPlayer.h"

#include <QString>
#include <memory>

namespace vaporica {

// The file the program loads its sound player from, beside the executable.
inline constexpr char SoundModuleFile[] = "vaporica-sound.so";
inline constexpr char SoundModuleEntry[] = "vaporicaCreateSoundPlayer";
inline constexpr char SoundModuleLeftLoading[] = "vaporicaSoundLeftLoading";

// A player from the sound module at `modulePath`, loaded once and kept for the process lifetime.
// A module that is missing or broken leaves the lesson silent: the player plays nothing and the
// problem, naming the module file, is printed once.
std::unique_ptr<SoundPlayer> makeModuleSoundPlayer(const QString &modulePath);

// Whether a loaded module's player went while a sound still loaded: the program must then end
// without running the module's library clean-up, which would wait for that load for good.
bool soundModuleHoldsTheEnd();

} // namespace vaporica
