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

inline constexpr int GeneratorCount = 4;
inline constexpr int CollectorCount = 3;

// The second stage of a question: for the gas just named, pick the generator apparatus out of four
// pictures and the collection method out of three. Two answer slots share one feedback period.
class ApparatusQuizScreen : public Form {
    Q_OBJECT
public:
    ApparatusQuizScreen();
    ~ApparatusQuizScreen() override;

private:
    // The feedback mechanics come first: the screen's variables below are bound to their fields.
    std::shared_ptr<const Clock> clock_;
    BorderHighlight generatorGroup_;
    BorderHighlight collectorGroup_;
    AnswerSlot generatorSlot_;
    AnswerSlot collectorSlot_;
    FeedbackPeriod period_;

public:
    // Controls, front to back.
    GraphicalButton *Command2; // quit
    Frame *Frame3;             // the gas
    ImageBox *Image3;
    Frame *Frame4; // the two reagents
    ControlArray<ImageBox, 2> Image4{"Image4"};
    Frame *Frame2;    // collection methods
    ImageBox *Image8; // the collector's cross
    ImageBox *Image7; // the collector's ring
    ControlArray<ImageBox, CollectorCount> Image2{"Image2"};
    Frame *Frame1;    // generators
    ImageBox *Image6; // the generator's cross
    ImageBox *Image5; // the generator's ring
    ControlArray<ImageBox, GeneratorCount> Image1{"Image1"};
    Timer *Timer1;
    std::unique_ptr<SoundPlayer> MediaPlayer1;

    // The screen's own variables, in declaration order.
    Integer &GeneratorHighlighted = generatorGroup_.HighlightedIndex;
    Integer &GeneratorHover = generatorGroup_.HoverIndex;
    Integer &CollectorHighlighted = collectorGroup_.HighlightedIndex;
    Integer &CollectorHover = collectorGroup_.HoverIndex;
    Long &ClickSecond = period_.ClickSecond;
    Integer &GeneratorSolved = generatorSlot_.SolvedFlag;
    Integer &CollectorSolved = collectorSlot_.SolvedFlag;
    Integer &GeneratorWrongPending = generatorSlot_.WrongPendingFlag;
    Integer &CollectorWrongPending = collectorSlot_.WrongPendingFlag;
    Integer &GeneratorFrozen = generatorGroup_.HoverFrozenFlag;
    Integer &CollectorFrozen = collectorGroup_.HoverFrozenFlag;

    // Handlers, in the order of the screen's handler table.
    void Form_Load() override;
    void Image1_MouseMove(int Index);
    void Image2_MouseMove(int Index);
    void Frame1_MouseMove();
    void Frame2_MouseMove();
    void Form_MouseMove() override;
    void Image1_Click(int Index);
    void Image2_Click(int Index);
    void Timer1_Timer();
    void Command2_Click();

private:
    void createControls();
    void createLabelRow();
    void createCollectorFrame();
    void createGeneratorFrame();
    void stackFrontToBack();
    void connectHandlers();
};

} // namespace vaporica
