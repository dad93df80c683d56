#pragma once

namespace vaporica {

class Clock;
class RandomSource;

// Draws a random question outside the recent window into CurrentQuestion and enters it there.
// DrawQuestion re-seeds from the clock and draws, CheckDrawn redraws while the question is in the
// window, AcceptQuestion moves the window on by one. The caller shows the question afterwards.
void DrawQuestion(const Clock &clock, RandomSource &random);
bool CheckDrawn();
void AcceptQuestion();


} // namespace vaporica
