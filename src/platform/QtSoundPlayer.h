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

private:
    QSoundEffect &effectFor(const QUrl &url);

    std::vector<std::pair<QUrl, std::unique_ptr<QSoundEffect>>> effects_;
};

} // namespace vaporica
