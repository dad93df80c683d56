#pragma once

// The answer feedback of one quiz screen: its answer slots, the period they share, its timer
// (Timer1), its sound player and its marks. The slots and the period decide; this unit carries
// each decision out. A screen declares each slot once and calls load() from Form_Load; it never
// wires a mark, a sound or the timer by hand.

#include "feedback/AnswerSlot.h"
#include "feedback/FeedbackPeriod.h"
#include "feedback/HoverGroup.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vaporica {

class Clock;
class Form;
class ImageBox;
class SoundPlayer;
class Timer;

class QuizFeedback {
public:
    struct Slot {
        // The hover group over the slot's items: every click on them sets its frozen flag.
        HoverGroup *group;
        // The item that is right for the current question, read at the moment of the click.
        std::function<int()> rightChoice;
        ImageBox *rightMark;
        ImageBox *wrongMark;
        // Extra look a right click gives (the apparatus screen borders the clicked image).
        std::function<void(int index)> onRight = {};
        // What the slot asks, said before 正解 / 不正解 where a screen has more than one slot.
        QString topic = {};
    };
    // The sound files of a right and a wrong answer.
    struct Sounds {
        QString right;
        QString wrong;
    };

    // Made once the screen's marks exist; the screen speaks each judgement to a screen reader.
    // completion is what the screen does when a period ends with every slot solved.
    QuizFeedback(Form &screen, Sounds sounds, const std::vector<Slot> &declared,
                 std::function<void()> completion);
    ~QuizFeedback();

    // The timer of the feedback period, the screen's Timer1.
    Timer *timer() const { return timer_; }

    // The reset at every load: each slot open, each hover group on item 1 and not frozen, the
    // timer stopped and every mark hidden.
    void load();

    // slot is the 0-based position in the declaration; index is the clicked item's. A click on a
    // solved slot is not judged again, but a screen reader hears that it is solved.
    void AnswerClick(int slot, int index);
    void FeedbackTick();

    const AnswerSlot &slot(int slot) const { return *slots_.at(std::size_t(slot)); }
    Long clickSecond() const { return period_->ClickSecond; }

private:
    void carryOut(const Decision &decision);
    void hideMarks();
    // What a screen reader hears of a click's judgement on slot; empty for none.
    QString wordsFor(int slot, const Decision &decision, bool solvedBefore) const;
    // "<topic>は<words>", or the words alone for a slot without a topic.
    QString aboutSlot(int slot, const QString &words) const;

    Form &screen_;
    Sounds sounds_;
    std::shared_ptr<const Clock> clock_;
    Timer *timer_;
    std::unique_ptr<SoundPlayer> player_;
    std::vector<Slot> declared_;
    std::vector<std::unique_ptr<AnswerSlot>> slots_;
    std::unique_ptr<FeedbackPeriod> period_;
    std::function<void()> completion_;
};

} // namespace vaporica
