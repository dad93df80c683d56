#include "feedback/FeedbackPeriod.h"

#include "platform/Clock.h"

#include <algorithm>
#include <utility>

namespace vaporica {

namespace {
constexpr double SecondsPerDay = 86400.0;
} // namespace

FeedbackPeriod::FeedbackPeriod(const Clock &clock, std::vector<AnswerSlot *> answerSlots,
                               Binding binding)
    : clock_(clock), slots_(std::move(answerSlots)), binding_(std::move(binding)) {}

void FeedbackPeriod::setInterval(int milliseconds) {
    running_ = milliseconds != 0;
    binding_.setTimerInterval(milliseconds);
}

AnswerSlot::Judgement FeedbackPeriod::AnswerClick(AnswerSlot &slot, int index) {
    const AnswerSlot::Judgement judgement = slot.click(index);
    setInterval(TickInterval);
    ClickSecond = roundHalfEven(clock_.secondsSinceMidnight());
    return judgement;
}

double FeedbackPeriod::elapsed(Long clickSecond, double now) {
    double value = now - clickSecond;
    // Rounding the click up makes the value at most half a second negative on the same day; a
    // value below -1 means the time of day has restarted at midnight since the click.
    if (value < -1.0)
        value += SecondsPerDay;
    return value;
}

bool FeedbackPeriod::FeedbackTick() {
    if (!(elapsed(ClickSecond, clock_.secondsSinceMidnight()) > 1.0))
        return false;
    setInterval(0);
    binding_.hideMarks();
    for (AnswerSlot *slot : slots_)
        slot->periodEnded();
    const bool allSolved = std::all_of(slots_.begin(), slots_.end(),
                                       [](const AnswerSlot *s) { return s->SolvedFlag == 1; });
    if (allSolved && binding_.completion)
        binding_.completion();
    return true;
}

} // namespace vaporica
