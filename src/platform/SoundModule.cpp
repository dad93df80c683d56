// The sound module's one entry point. Qt Multimedia and the libraries it pulls in are linked only
// into this module, which the program loads when the first screen with sound is built; a menu
// shown without them starts faster and smaller.
#include "platform/SoundModule.h"
#include "platform/QtSoundPlayer.h"

extern "C" Q_DECL_EXPORT vaporica::SoundPlayer *vaporicaCreateSoundPlayer() {
    return new vaporica::QtSoundPlayer();
}

extern "C" Q_DECL_EXPORT bool vaporicaSoundLeftLoading() {
    return vaporica::QtSoundPlayer::soundLeftLoading();
}
