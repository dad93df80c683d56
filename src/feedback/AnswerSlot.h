#pragma once

// One question a screen asks, answered by clicking one of a control array's items. The slot only
// judges: what the judgement shows and plays is decided by the feedback period and carried out by
// the screen's feedback unit.

#include "base/SharedVariables.h"

namespace vaporica {

class AnswerSlot {
public:
    enum class State { Open, WrongShown, Solved };
    enum class Judgement { NotJudged, Right, Wrong };

    // frozenFlag is the HoverFrozenFlag of the slot's hover group, which every click sets.
    explicit AnswerSlot(Integer &frozenFlag) : frozen_(frozenFlag) {}

    Integer SolvedFlag = 0;
    Integer WrongPendingFlag = 0;

    State state() const;

    // Steps 1 and 2 of an answer click; rightChoice is the item right for the current question.
    // The feedback period does step 3.
    Judgement click(int index, int rightChoice);

    // The period ended: the wrong mark is gone, so the slot may be answered again.
    void periodEnded() { WrongPendingFlag = 0; }

    // A screen load: open, whatever the slot's state before.
    void reopen() {
        SolvedFlag = 0;
        WrongPendingFlag = 0;
    }

private:
    Integer &frozen_;
};

} // namespace vaporica
