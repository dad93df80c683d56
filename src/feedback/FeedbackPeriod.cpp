#include "feedback/FeedbackPeriod.h"

#include "platform/Clock.h"

#include <algorithm>
#include <utility>

namespace vaporica {

namespace {
constexpr double SecondsPerDay = 86400.0;
} // namespace

FeedbackPeriod::FeedbackPeriod(const Clock &clock, std::vector<AnswerSlot *> answerSlots)
    : clock_(clock), slots_(std::move(answerSlots)) {}

Decision FeedbackPeriod::AnswerClick(int slot, int index, int rightChoice) {
    Decision decision;
    decision.judgement = slots_.at(std::size_t(slot))->click(index, rightChoice);
    switch (decision.judgement) {
    case AnswerSlot::Judgement::Right:
        decision.sound = Decision::Sound::Right;
        decision.rightMark = slot;
        decision.clickedItem = index;
        break;
    case AnswerSlot::Judgement::Wrong:
        decision.sound = Decision::Sound::Wrong;
        decision.wrongMark = slot;
        break;
    case AnswerSlot::Judgement::NotJudged:
        break;
    }
    decision.timerInterval = TickInterval;
    running_ = true;
    ClickSecond = roundHalfEven(clock_.secondsSinceMidnight());
    return decision;
}

double FeedbackPeriod::elapsed(Long clickSecond, double now) {
    double value = now - clickSecond;
    // Rounding the click up makes the value at most half a second negative on the same day; a
    // value below -1 means the time of day has restarted at midnight since the click.
    if (value < -1.0)
        value += SecondsPerDay;
    return value;
}

Decision FeedbackPeriod::FeedbackTick() {
    Decision decision;
    if (!(elapsed(ClickSecond, clock_.secondsSinceMidnight()) > 1.0))
        return decision;
    running_ = false;
    decision.periodEnded = true;
    decision.timerInterval = 0;
    decision.hideMarks = true;
    for (AnswerSlot *slot : slots_)
        slot->periodEnded();
    decision.nextScreen = std::all_of(slots_.begin(), slots_.end(),
                                      [](const AnswerSlot *s) { return s->SolvedFlag == 1; });
    return decision;
}

} // namespace vaporica
