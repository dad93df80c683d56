#include "feedback/QuizFeedback.h"

#include "platform/Controls.h"
#include "platform/Services.h"
#include "platform/SoundPlayer.h"

namespace vaporica {

QuizFeedback::QuizFeedback(Timer *timer, const std::vector<Slot> &declared,
                           std::function<void()> completion)
    : clock_(services().clock), timer_(timer), player_(services().makeSoundPlayer()),
      declared_(declared) {
    std::vector<AnswerSlot *> answerSlots;
    for (const Slot &slot : declared_) {
        slots_.push_back(
            std::make_unique<AnswerSlot>(slot.group->HoverFrozenFlag, bindingOf(slot)));
        answerSlots.push_back(slots_.back().get());
    }
    period_ = std::make_unique<FeedbackPeriod>(
        *clock_, std::move(answerSlots),
        FeedbackPeriod::Binding{.setTimerInterval = [this](int ms) { timer_->setInterval(ms); },
                                .hideMarks = [this] { hideMarks(); },
                                .completion = std::move(completion)});
}

QuizFeedback::~QuizFeedback() = default;

AnswerSlot::Binding QuizFeedback::bindingOf(const Slot &declared) {
    return {.rightChoice = declared.rightChoice,
            .startSound = [this](const QString &path) { player_->play(path); },
            .showRightMark = [mark = declared.rightMark] { mark->show(); },
            .showWrongMark = [mark = declared.wrongMark] { mark->show(); },
            .onRight = declared.onRight};
}

void QuizFeedback::load() {
    for (const Slot &declared : declared_)
        declared.group->load();
    for (const std::unique_ptr<AnswerSlot> &slot : slots_)
        slot->reopen();
    timer_->setInterval(0);
    hideMarks();
}

void QuizFeedback::hideMarks() {
    for (const Slot &declared : declared_) {
        declared.wrongMark->hide();
        declared.rightMark->hide();
    }
}

void QuizFeedback::AnswerClick(int slot, int index) {
    period_->AnswerClick(*slots_.at(slot), index);
}

void QuizFeedback::FeedbackTick() {
    period_->FeedbackTick();
}

} // namespace vaporica
