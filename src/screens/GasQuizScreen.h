#pragma once

#include "app/SharedVariables.h"
#include "feedback/AnswerSlot.h"
#include "feedback/FeedbackPeriod.h"
#include "feedback/HoverGroup.h"
#include "platform/ControlArray.h"
#include "platform/Controls.h"
#include "platform/Form.h"
#include "platform/SoundPlayer.h"

#include <memory>

namespace vaporica {

class Clock;

// The gas identification quiz: two highlighted reagent plates among twenty-four; the pupil names
// the gas they produce with one of fourteen gas buttons.
class GasQuizScreen : public Form {
    Q_OBJECT
public:
    GasQuizScreen();
    ~GasQuizScreen() override;

private:
    // The feedback mechanics come first: the screen's variables below are bound to their fields.
    std::shared_ptr<const Clock> clock_;
    PictureSwapHighlight gasGroup_;
    AnswerSlot gasSlot_;
    FeedbackPeriod period_;

public:
    // Controls, front to back.
    GraphicalButton *Command4; // properties
    Timer *Timer1;
    GraphicalButton *Command3; // back
    GraphicalButton *Command2; // quit
    Frame *Frame1;
    ControlArray<GraphicalButton, GasCount> Command1{"Command1"};
    std::unique_ptr<SoundPlayer> MediaPlayer1;
    ImageBox *Image6; // the ring of a right answer
    ImageBox *Image5; // the cross of a wrong answer
    ControlArray<ImageBox, ReagentCount> Image1{"Image1"};

    // The screen's own variables.
    Integer &GasHighlighted = gasGroup_.HighlightedIndex;
    Integer &GasHover = gasGroup_.HoverIndex;
    Integer &GasFrozen = gasGroup_.HoverFrozenFlag;
    Integer &GasSolved = gasSlot_.SolvedFlag;
    Integer &GasWrongPending = gasSlot_.WrongPendingFlag;
    Long &ClickSecond = period_.ClickSecond;

    // Handlers, in the order of the screen's handler table.
    void Form_MouseMove() override;
    void Frame1_MouseMove();
    void Command1_MouseMove(int Index);
    void Form_Load() override;
    void Command1_Click(int Index);
    void Timer1_Timer();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void createControls();
    void InitPictures();
    void ShowQuestion();
};

} // namespace vaporica
