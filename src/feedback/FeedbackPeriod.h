#pragma once

// The time a mark shows after an answer click. One per screen, shared by all of its answer slots:
// every click (re)starts it, and the first tick more than a second after the click, counted from
// the click's rounded second, ends it. Each event returns what the screen is to do, as a value.

#include "base/SharedVariables.h"
#include "feedback/AnswerSlot.h"

#include <vector>

namespace vaporica {

class Clock;

// What an answer click or a tick of the timer makes the screen do, in this order: play, show,
// set the timer, hide the marks, go on to the next screen.
struct Decision {
    enum class Sound { None, Right, Wrong };
    static constexpr int NoSlot = -1;
    static constexpr int TimerUnchanged = -1;

    AnswerSlot::Judgement judgement = AnswerSlot::Judgement::NotJudged;
    Sound sound = Sound::None;
    int rightMark = NoSlot; // the slot whose ring shows
    int wrongMark = NoSlot; // the slot whose cross shows
    int clickedItem = 0;    // the item a right click chose
    int timerInterval = TimerUnchanged;
    bool periodEnded = false;
    bool hideMarks = false;
    bool nextScreen = false;
};

class FeedbackPeriod {
public:
    static constexpr int TickInterval = 100;

    FeedbackPeriod(const Clock &clock, std::vector<AnswerSlot *> answerSlots);

    // The time of day of the last answer click, rounded to whole seconds (halves to even).
    Long ClickSecond = 0;

    bool running() const { return running_; }

    // AnswerClick on slot (its place among the period's slots): the slot judges the click (or
    // not), then the period restarts.
    Decision AnswerClick(int slot, int index, int rightChoice);

    // FeedbackTick: nothing to do, or the end of the period.
    Decision FeedbackTick();

    // Seconds from clickSecond to now. A clock that has passed midnight since the click counts on
    // from 86400, so such a period ends about a second after its click like any other.
    static double elapsed(Long clickSecond, double now);

private:
    const Clock &clock_;
    std::vector<AnswerSlot *> slots_;
    bool running_ = false;
};

} // namespace vaporica
