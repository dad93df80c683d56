#include "feedback/QuizFeedback.h"

#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <QStringList>

namespace vaporica {

QuizFeedback::QuizFeedback(Timer *timer, const std::vector<Slot> &declared,
                           std::function<void()> completion)
    : clock_(services().clock), timer_(timer), player_(services().makeSoundPlayer()),
      declared_(declared),
      // The timer belongs to the screen, which speaks for it.
      screen_(qobject_cast<Form *>(timer->parent())) {
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
    screen_->silence();
}

QString QuizFeedback::aboutSlot(const Slot &declared, const QString &words) {
    return declared.topic.isEmpty() ? words : declared.topic + QStringLiteral("は") + words;
}

void QuizFeedback::announce(const Slot &declared, bool right) {
    QString words = aboutSlot(declared, right ? QStringLiteral("正解") : QStringLiteral("不正解"));
    // After a right answer a pupil who cannot see the other rings hears what is still to do.
    QStringList open;
    for (std::size_t i = 0; right && i < slots_.size(); ++i)
        if (slots_[i]->state() != AnswerSlot::State::Solved)
            open.append(declared_[i].topic);
    if (!open.isEmpty())
        words += QStringLiteral("。残りは%1です").arg(open.join(QStringLiteral("と")));
    screen_->announce(words);
}

void QuizFeedback::hideMarks() {
    for (const Slot &declared : declared_) {
        declared.wrongMark->hide();
        declared.rightMark->hide();
    }
}

void QuizFeedback::AnswerClick(int slot, int index) {
    AnswerSlot &answer = *slots_.at(slot);
    const bool solvedBefore = answer.state() == AnswerSlot::State::Solved;
    period_->AnswerClick(answer, index);
    if (solvedBefore)
        screen_->announce(aboutSlot(declared_.at(slot), QStringLiteral("もう正解です")));
}

void QuizFeedback::FeedbackTick() {
    period_->FeedbackTick();
}

} // namespace vaporica
