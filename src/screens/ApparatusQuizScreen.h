#pragma once

#include "base/SharedVariables.h"
#include "feedback/HoverGroup.h"
#include "feedback/QuizFeedback.h"
#include "widgets/ControlArray.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <memory>
#include <span>

namespace vaporica {

// The second stage of a question: for the gas just named, pick the generator apparatus out of four
// pictures and the collection method out of three. Two answer slots share one feedback period.
class ApparatusQuizScreen : public Form {
    Q_OBJECT
public:
    ApparatusQuizScreen();

    // The window's inside.
    static constexpr TwipsSize Client{11460, 8070};

    // The table the screen is built from, one row per control.
    static std::span<const LayoutRow<ApparatusQuizScreen>> layout();
    ~ApparatusQuizScreen() override;

    // Controls, front to back. The timer and the sound player belong to the feedback; the switch
    // to the summary needs both slots solved.
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

    // The screen's own variables, in declaration order, read through the units that keep them.
    Integer GeneratorHighlighted() const { return generatorGroup_.HighlightedIndex; }
    Integer GeneratorHover() const { return generatorGroup_.HoverIndex; }
    Integer CollectorHighlighted() const { return collectorGroup_.HighlightedIndex; }
    Integer CollectorHover() const { return collectorGroup_.HoverIndex; }
    Long ClickSecond() const { return feedback_->clickSecond(); }
    Integer GeneratorSolved() const { return feedback_->slot(GeneratorSlot).SolvedFlag; }
    Integer CollectorSolved() const { return feedback_->slot(CollectorSlot).SolvedFlag; }
    Integer GeneratorWrongPending() const {
        return feedback_->slot(GeneratorSlot).WrongPendingFlag;
    }
    Integer CollectorWrongPending() const {
        return feedback_->slot(CollectorSlot).WrongPendingFlag;
    }
    Integer GeneratorFrozen() const { return generatorGroup_.HoverFrozenFlag; }
    Integer CollectorFrozen() const { return collectorGroup_.HoverFrozenFlag; }

    // Handlers, in the order of the screen's handler table.
    void Form_Load() override;
    void Image1_MouseMove(int Index);
    void Image2_MouseMove(int Index);
    void Frame1_MouseMove();
    void Frame2_MouseMove();
    void Form_MouseMove() override;
    void Image1_Click(int Index);
    void Image2_Click(int Index);
    void Command2_Click();

private:
    static constexpr int GeneratorSlot = 0;
    static constexpr int CollectorSlot = 1;

    void createFeedback();

    BorderHighlight generatorGroup_;
    BorderHighlight collectorGroup_;
    std::unique_ptr<QuizFeedback> feedback_;
};

} // namespace vaporica
