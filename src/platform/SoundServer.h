#pragma once

#include <chrono>

namespace vaporica {

// Whether the sound server lets a client in within `bound`. Qt's audio layer connects to it on
// the window's thread and waits with no time-out, so a server that takes the connection and
// never answers (hung, or stopped) would freeze the window at the first answer. True also when
// there is no server at all: Qt finds that out at once and plays nothing.
bool soundServerAnswers(std::chrono::milliseconds bound);

} // namespace vaporica
