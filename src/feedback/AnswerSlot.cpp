#include "feedback/AnswerSlot.h"

namespace vaporica {

AnswerSlot::State AnswerSlot::state() const {
    if (SolvedFlag == 1)
        return State::Solved;
    return WrongPendingFlag == 1 ? State::WrongShown : State::Open;
}

AnswerSlot::Judgement AnswerSlot::click(int index, int rightChoice) {
    frozen_ = 1;
    if (SolvedFlag != 0 || WrongPendingFlag != 0)
        return Judgement::NotJudged;
    if (index == rightChoice) {
        SolvedFlag = 1;
        return Judgement::Right;
    }
    // A wrong answer lets the highlight follow the pointer again while the cross shows.
    frozen_ = 0;
    WrongPendingFlag = 1;
    return Judgement::Wrong;
}

} // namespace vaporica
