#include "bank/QuestionSelection.h"

#include "base/SharedVariables.h"
#include "platform/Clock.h"
#include "platform/Random.h"

#include <cmath>

namespace vaporica {

namespace {
int halfCount() {
    return static_cast<int>(std::floor(static_cast<double>(QuestionCount) / 2.0));
}

void drawOnce(const Clock &clock, RandomSource &random) {
    random.reseed(clock.secondsSinceMidnight());
    const float r = random.next();
    CurrentQuestion = static_cast<Integer>(std::floor(static_cast<double>(r) * QuestionCount) + 1);
}
} // namespace

void DrawQuestion(const Clock &clock, RandomSource &random) {
    // The redraw loops here rather than recursing, so a long run of hits on the window cannot
    // grow the stack; the order of draws and checks is the same.
    do
        drawOnce(clock, random);
    while (!CheckDrawn());
    AcceptQuestion();
}

bool CheckDrawn() {
    return UsedFlag(CurrentQuestion) != 1;
}

void AcceptQuestion() {
    UsedFlag(RecentQueue(1)) = 0;
    UsedFlag(CurrentQuestion) = 1;
    const int h = halfCount();
    for (int i = 1; i <= h; ++i)
        RecentQueue(i) = RecentQueue(i + 1);
    RecentQueue(h + 1) = CurrentQuestion;
}

} // namespace vaporica
