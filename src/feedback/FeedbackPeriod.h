#pragma once

// The time a mark shows after an answer click. One per screen, shared by all of its answer slots:
// every click (re)starts it, and the first tick more than a second after the click, counted from
// the click's rounded second, ends it.

#include "base/SharedVariables.h"
#include "feedback/AnswerSlot.h"

#include <functional>
#include <vector>

namespace vaporica {

class Clock;

class FeedbackPeriod {
public:
    static constexpr int TickInterval = 100;

    struct Binding {
        // Sets the screen's Timer1.Interval: TickInterval starts the ticks, 0 stops them.
        std::function<void(int milliseconds)> setTimerInterval;
        // Hides every mark of the screen, in the screen's order.
        std::function<void()> hideMarks;
        // What the screen does when a period ends with every slot solved.
        std::function<void()> completion;
    };

    FeedbackPeriod(const Clock &clock, std::vector<AnswerSlot *> answerSlots, Binding binding);

    // The time of day of the last answer click, rounded to whole seconds (halves to even).
    Long ClickSecond = 0;

    bool running() const { return running_; }

    // AnswerClick: the slot judges the click (or not), then the period restarts.
    AnswerSlot::Judgement AnswerClick(AnswerSlot &slot, int index);

    // FeedbackTick; true when this tick ended the period.
    bool FeedbackTick();

    // Seconds from clickSecond to now. A clock that has passed midnight since the click counts on
    // from 86400, so such a period ends about a second after its click like any other.
    static double elapsed(Long clickSecond, double now);

private:
    void setInterval(int milliseconds);

    const Clock &clock_;
    std::vector<AnswerSlot *> slots_;
    Binding binding_;
    bool running_ = false;
};

} // namespace vaporica
