#pragma once

#include <QString>

namespace vaporica::material {

// Right answer: a bright rising two-tone chime, well under a second.
void writeChime(const QString &path);
// Wrong answer: a short low buzzer.
void writeBuzzer(const QString &path);

} // namespace vaporica::material
