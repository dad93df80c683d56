#pragma once

#include <QIODevice>
#include <QString>

namespace vaporica {

// The longest sample data a lesson sound may hold: the player loads a sound whole into memory,
// and a right or wrong chime lasts a second or two (32 MB is three minutes of CD-quality stereo).
constexpr qint64 MaxSoundDataBytes = 32 * 1024 * 1024;

// The most chunks a lesson sound may have before its data: a written WAV has two to five (fmt,
// fact, LIST, data). Walking millions of empty chunks would hold the window for seconds, and Qt's
// loader then spends seconds more on the same file.
constexpr int MaxSoundChunks = 64;

// The longest chunk a lesson sound may have before its data, its 8-byte header included: Qt's
// sample loader cannot step over a longer one and waits for it for good, so the sound would never
// play and nothing would say why (a LIST of notes or a cover picture grows that long).
constexpr qint64 MaxChunkBeforeDataBytes = 16 * 1024;

// Checks the RIFF structure of a WAV file against the file's real size: every chunk complete, a
// PCM or float format that is self-consistent, and whole sample frames of data. Returns why the
// file cannot be played, or an empty string for a sound file that is sound. A damaged file must be
// refused before the player sees it: Qt's sample loader may wait for good on one.
QString wavProblem(QIODevice &file);

} // namespace vaporica
