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

class Clock;

// The question as the background shows it, and what a screen reader says of its two reagents.
constexpr const char *QuestionPromptWords = "下の薬品の組合せで発生する気体は何ですか";
inline const QString QuestionPrompt = QString::fromUtf8(QuestionPromptWords);
inline const QString QuestionReagent = QStringLiteral("問題の薬品");

// The gas identification quiz: two highlighted reagent plates among twenty-four; the pupil names
// the gas they produce with one of fourteen gas buttons.
class GasQuizScreen : public Form {
    Q_OBJECT
public:
    GasQuizScreen();

    // The window's inside.
    static constexpr TwipsSize Client{11490, 8100};

    // The table the screen is built from, one row per control.
    static std::span<const LayoutRow<GasQuizScreen>> layout();
    ~GasQuizScreen() override;

    // Controls, front to back. The timer and the sound player belong to the feedback.
    GraphicalButton *Command4; // properties
    Timer *Timer1;
    GraphicalButton *Command3; // back
    GraphicalButton *Command2; // quit
    Frame *Frame1;
    ControlArray<GraphicalButton, GasCount> Command1{"Command1"};
    ImageBox *Image6; // the ring of a right answer
    ImageBox *Image5; // the cross of a wrong answer
    ControlArray<ImageBox, ReagentCount> Image1{"Image1"};

    // The screen's own variables, read through the units that keep them.
    Integer GasHighlighted() const { return gasGroup_.HighlightedIndex; }
    Integer GasHover() const { return gasGroup_.HoverIndex; }
    Integer GasFrozen() const { return gasGroup_.HoverFrozenFlag; }
    Integer GasSolved() const { return feedback_->slot(GasSlot).SolvedFlag; }
    Integer GasWrongPending() const { return feedback_->slot(GasSlot).WrongPendingFlag; }
    Long ClickSecond() const { return feedback_->clickSecond(); }

    // Handlers, in the order of the screen's handler table.
    void Form_MouseMove() override;
    void Frame1_MouseMove();
    void Command1_MouseMove(int Index);
    void Form_Load() override;
    void Command1_Click(int Index);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    static constexpr int GasSlot = 0;

    void InitPictures();
    void ShowQuestion();

    std::shared_ptr<const Clock> clock_;
    PictureSwapHighlight gasGroup_;
    std::unique_ptr<QuizFeedback> feedback_;
};

} // namespace vaporica
