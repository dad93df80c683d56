#include "feedback/AnswerSlot.h"

#include "assets/DataPaths.h"

namespace vaporica {

AnswerSlot::AnswerSlot(Integer &frozenFlag, Binding binding)
    : frozen_(frozenFlag), binding_(std::move(binding)) {}

AnswerSlot::State AnswerSlot::state() const {
    if (SolvedFlag == 1)
        return State::Solved;
    return WrongPendingFlag == 1 ? State::WrongShown : State::Open;
}

AnswerSlot::Judgement AnswerSlot::click(int index) {
    frozen_ = 1;
    if (SolvedFlag != 0 || WrongPendingFlag != 0)
        return Judgement::NotJudged;
    if (index == binding_.rightChoice()) {
        SolvedFlag = 1;
        // The path is built now, from the DataRoot of this moment.
        binding_.startSound(SoundPath(fragment::RightSound));
        binding_.showRightMark();
        if (binding_.onRight)
            binding_.onRight(index);
        return Judgement::Right;
    }
    binding_.startSound(SoundPath(fragment::WrongSound));
    binding_.showWrongMark();
    // A wrong answer lets the highlight follow the pointer again while the cross shows.
    frozen_ = 0;
    WrongPendingFlag = 1;
    return Judgement::Wrong;
}

} // namespace vaporica
