#include "feedback/QuizFeedback.h"

#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "widgets/Accessibility.h"
#include "widgets/Controls.h"

namespace vaporica {

QuizFeedback::QuizFeedback(Timer *timer, const std::vector<Slot> &declared,
                           std::function<void()> completion)
    : clock_(services().clock), timer_(timer), player_(services().makeSoundPlayer()),
      declared_(declared),
      // The timer belongs to the screen, and so does the announcer.
      announcer_(
          new SpokenText(qobject_cast<QWidget *>(timer->parent()), QAccessible::Notification)) {
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
            .showRightMark =
                [this, declared] {
                    declared.rightMark->show();
                    announce(declared, true);
                },
            .showWrongMark =
                [this, declared] {
                    declared.wrongMark->show();
                    announce(declared, false);
                },
            .onRight = declared.onRight};
}

void QuizFeedback::load() {
    for (const Slot &declared : declared_)
        declared.group->load();
    for (const std::unique_ptr<AnswerSlot> &slot : slots_)
        slot->reopen();
    timer_->setInterval(0);
    hideMarks();
    announcer_->clear();
}

void QuizFeedback::announce(const Slot &declared, bool right) {
    const QString judgement = right ? QStringLiteral("正解") : QStringLiteral("不正解");
    announcer_->announce(
        declared.topic.isEmpty() ? judgement : declared.topic + QStringLiteral("は") + judgement);
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
