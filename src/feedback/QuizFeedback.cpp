#include "feedback/QuizFeedback.h"

#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <QStringList>

namespace vaporica {

QuizFeedback::QuizFeedback(Form &screen, Sounds sounds, const std::vector<Slot> &declared,
                           std::function<void()> completion)
    : screen_(screen), sounds_(std::move(sounds)), clock_(services().clock),
      timer_(new Timer(&screen)), player_(services().makeSoundPlayer()), declared_(declared),
      completion_(std::move(completion)) {
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->onTick = [this] { FeedbackTick(); };
    std::vector<AnswerSlot *> answerSlots;
    for (const Slot &slot : declared_) {
        slots_.push_back(std::make_unique<AnswerSlot>(slot.group->HoverFrozenFlag));
        answerSlots.push_back(slots_.back().get());
    }
    period_ = std::make_unique<FeedbackPeriod>(*clock_, std::move(answerSlots));
}

QuizFeedback::~QuizFeedback() = default;

void QuizFeedback::load() {
    for (const Slot &declared : declared_)
        declared.group->load();
    for (const std::unique_ptr<AnswerSlot> &slot : slots_)
        slot->reopen();
    timer_->setInterval(0);
    hideMarks();
    screen_.silence();
}

void QuizFeedback::AnswerClick(int slot, int index) {
    const bool solvedBefore = this->slot(slot).state() == AnswerSlot::State::Solved;
    const Decision decision =
        period_->AnswerClick(slot, index, declared_.at(std::size_t(slot)).rightChoice());
    carryOut(decision);
    const QString words = wordsFor(slot, decision, solvedBefore);
    if (!words.isEmpty())
        screen_.announce(words);
}

void QuizFeedback::FeedbackTick() {
    carryOut(period_->FeedbackTick());
}

void QuizFeedback::carryOut(const Decision &decision) {
    switch (decision.sound) {
    case Decision::Sound::Right:
        player_->play(sounds_.right);
        break;
    case Decision::Sound::Wrong:
        player_->play(sounds_.wrong);
        break;
    case Decision::Sound::None:
        break;
    }
    if (decision.rightMark != Decision::NoSlot) {
        const Slot &declared = declared_.at(std::size_t(decision.rightMark));
        declared.rightMark->show();
        if (declared.onRight)
            declared.onRight(decision.clickedItem);
    }
    if (decision.wrongMark != Decision::NoSlot)
        declared_.at(std::size_t(decision.wrongMark)).wrongMark->show();
    if (decision.timerInterval != Decision::TimerUnchanged)
        timer_->setInterval(decision.timerInterval);
    if (decision.hideMarks)
        hideMarks();
    if (decision.nextScreen && completion_)
        completion_();
}

QString QuizFeedback::aboutSlot(int slot, const QString &words) const {
    const QString &topic = declared_.at(std::size_t(slot)).topic;
    return topic.isEmpty() ? words : topic + QStringLiteral("は") + words;
}

QString QuizFeedback::wordsFor(int slot, const Decision &decision, bool solvedBefore) const {
    switch (decision.judgement) {
    case AnswerSlot::Judgement::Wrong:
        return aboutSlot(slot, QStringLiteral("不正解"));
    case AnswerSlot::Judgement::Right: {
        QString words = aboutSlot(slot, QStringLiteral("正解"));
        // After a right answer a pupil who cannot see the other rings hears what is still to do.
        QStringList open;
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i]->state() != AnswerSlot::State::Solved)
                open.append(declared_[i].topic);
        if (!open.isEmpty())
            words += QStringLiteral("。残りは%1です").arg(open.join(QStringLiteral("と")));
        return words;
    }
    case AnswerSlot::Judgement::NotJudged:
        return solvedBefore ? aboutSlot(slot, QStringLiteral("もう正解です")) : QString();
    }
    return {};
}

void QuizFeedback::hideMarks() {
    for (const Slot &declared : declared_) {
        declared.wrongMark->hide();
        declared.rightMark->hide();
    }
}

} // namespace vaporica
