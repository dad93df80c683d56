#pragma once

// One question a screen asks, answered by clicking one of a control array's items. Which item is
// right, how a mark shows and where the sound goes are bound by the screen; the slot only decides.

#include "base/SharedVariables.h"

#include <functional>
#include <utility>

namespace vaporica {

class AnswerSlot {
public:
    enum class State { Open, WrongShown, Solved };
    enum class Judgement { NotJudged, Right, Wrong };

    struct Binding {
        // The item that is right for the current question, read at the moment of the click.
        std::function<int()> rightChoice;
        // Starts the sound file at the given path without waiting for it.
        std::function<void(const QString &path)> startSound;
        std::function<void()> showRightMark;
        std::function<void()> showWrongMark;
        // Extra look a right click gives (the apparatus screen borders the clicked image).
        std::function<void(int index)> onRight;
    };

    // frozenFlag is the HoverFrozenFlag of the slot's hover group, which every click sets.
    AnswerSlot(Integer &frozenFlag, Binding binding);

    Integer SolvedFlag = 0;
    Integer WrongPendingFlag = 0;

    State state() const;

    // Steps 1 and 2 of an answer click; the feedback period does step 3.
    Judgement click(int index);

    // The period ended: the wrong mark is gone, so the slot may be answered again.
    void periodEnded() { WrongPendingFlag = 0; }

    // A screen load: open, whatever the slot's state before.
    void reopen() {
        SolvedFlag = 0;
        WrongPendingFlag = 0;
    }

private:
    Integer &frozen_;
    Binding binding_;
};

} // namespace vaporica
