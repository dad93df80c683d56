#include "feedback/AnswerSlot.h"
#include "feedback/FeedbackPeriod.h"
#include "feedback/HoverGroup.h"
#include "platform/Clock.h"

#include "TestSupport.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

using State = AnswerSlot::State;

// What a screen's feedback unit does with a decision, in its order, as a log line each; the right
// and wrong sounds by their file names.
void record(QStringList &log, const Decision &d) {
    if (d.sound != Decision::Sound::None)
        log << (d.sound == Decision::Sound::Right ? QStringLiteral("sound o.wav")
                                                  : QStringLiteral("sound x.wav"));
    if (d.rightMark != Decision::NoSlot)
        log << QStringLiteral("ring");
    if (d.wrongMark != Decision::NoSlot)
        log << QStringLiteral("cross");
    if (d.timerInterval != Decision::TimerUnchanged)
        log << QStringLiteral("timer %1").arg(d.timerInterval);
    if (d.hideMarks)
        log << QStringLiteral("hide marks");
    if (d.nextScreen)
        log << QStringLiteral("next screen");
}

// One slot, its hover group and its period, with a log of what the screen would do.
struct QuizBench {
    SettableClock clock;
    QStringList log;
    int right = 4;
    PictureSwapHighlight group{HoverGroup::Freezing::WithFrozenFlag,
                               [this](int n) { log << QStringLiteral("normal %1").arg(n); },
                               [this](int n) { log << QStringLiteral("highlighted %1").arg(n); }};
    AnswerSlot slot{group.HoverFrozenFlag};
    FeedbackPeriod period{clock, {&slot}};

    QStringList take() {
        QStringList taken = log;
        log.clear();
        return taken;
    }
    void click(int index, double at) {
        clock.now = at;
        record(log, period.AnswerClick(0, index, right));
    }
    bool tick(double at) {
        clock.now = at;
        const Decision d = period.FeedbackTick();
        record(log, d);
        return d.periodEnded;
    }
};

QStringList lines(std::initializer_list<const char *> items) {
    QStringList list;
    for (const char *item : items)
        list << QString::fromUtf8(item);
    return list;
}

// --- The answer slot's states ---

enum class Event { ClickRight, ClickOther, PeriodEnds };

struct SlotRow {
    const char *name;
    State from;
    Event event;
    QStringList effects;
    State to;
    int frozenAfter;
};

TEST(AnswerSlotStates, EveryEventInEveryState) {
    const std::vector<SlotRow> table = {
        {"open, right", State::Open, Event::ClickRight, lines({"sound o.wav", "ring", "timer 100"}),
         State::Solved, 1},
        {"open, other", State::Open, Event::ClickOther,
         lines({"sound x.wav", "cross", "timer 100"}), State::WrongShown, 0},
        {"cross showing, right", State::WrongShown, Event::ClickRight, lines({"timer 100"}),
         State::WrongShown, 1},
        {"cross showing, other", State::WrongShown, Event::ClickOther, lines({"timer 100"}),
         State::WrongShown, 1},
        {"cross showing, period ends", State::WrongShown, Event::PeriodEnds,
         lines({"timer 0", "hide marks"}), State::Open, 0},
        {"solved, right", State::Solved, Event::ClickRight, lines({"timer 100"}), State::Solved, 1},
        {"solved, other", State::Solved, Event::ClickOther, lines({"timer 100"}), State::Solved, 1},
        {"solved, period ends", State::Solved, Event::PeriodEnds,
         lines({"timer 0", "hide marks", "next screen"}), State::Solved, 1},
    };
    for (const SlotRow &row : table) {
        SCOPED_TRACE(row.name);
        QuizBench b;
        b.slot.SolvedFlag = row.from == State::Solved;
        b.slot.WrongPendingFlag = row.from == State::WrongShown;
        b.group.HoverFrozenFlag = row.from == State::Solved;
        b.period.ClickSecond = 100;
        switch (row.event) {
        case Event::ClickRight:
            b.click(b.right, 100.2);
            break;
        case Event::ClickOther:
            b.click(b.right + 1, 100.2);
            break;
        case Event::PeriodEnds:
            EXPECT_TRUE(b.tick(101.2));
            break;
        }
        EXPECT_EQ(b.take(), row.effects);
        EXPECT_EQ(b.slot.state(), row.to);
        EXPECT_EQ(b.group.HoverFrozenFlag, row.frozenAfter);
        EXPECT_EQ(b.period.running(), row.event != Event::PeriodEnds);
    }
}

TEST(AnswerSlotStates, ARightClickNamesTheItemItChose) {
    QuizBench b;
    b.click(2, 10.0);
    b.tick(20.0);
    const Decision right = b.period.AnswerClick(0, b.right, b.right);
    EXPECT_EQ(right.judgement, AnswerSlot::Judgement::Right);
    EXPECT_EQ(right.clickedItem, b.right);
}

// Two slots share one period, as on the apparatus screen.
TEST(AnswerSlotStates, APeriodSharedByTwoSlotsCompletesOnlyWhenBothAreSolved) {
    SettableClock clock;
    QStringList log;
    Integer frozenA = 0, frozenB = 0;
    AnswerSlot generator(frozenA);
    AnswerSlot collector(frozenB);
    FeedbackPeriod period(clock, {&generator, &collector});
    const char *names[] = {"generator", "collector"};
    const int rightChoice[] = {2, 3};
    // The marks by their slot's name; the period's end as one line.
    auto click = [&](int slot, int index) {
        const Decision d = period.AnswerClick(slot, index, rightChoice[slot]);
        if (d.rightMark != Decision::NoSlot)
            log << QStringLiteral("%1 ring").arg(QLatin1String(names[d.rightMark]));
        if (d.wrongMark != Decision::NoSlot)
            log << QStringLiteral("%1 cross").arg(QLatin1String(names[d.wrongMark]));
    };
    auto tick = [&] {
        const Decision d = period.FeedbackTick();
        if (d.hideMarks)
            log << QStringLiteral("hide all");
        if (d.nextScreen)
            log << QStringLiteral("next screen");
        return d.periodEnded;
    };
    clock.now = 50.2;
    click(0, 2);
    clock.now = 50.9; // within the period: the period restarts from 51
    click(1, 1);
    clock.now = 51.5;
    EXPECT_FALSE(tick());
    clock.now = 52.1;
    EXPECT_TRUE(tick());
    EXPECT_EQ(log, lines({"generator ring", "collector cross", "hide all"}));
    EXPECT_EQ(collector.WrongPendingFlag, 0);
    log.clear();
    clock.now = 60.0;
    click(1, 3);
    clock.now = 61.1;
    EXPECT_TRUE(tick());
    EXPECT_EQ(log, lines({"collector ring", "hide all", "next screen"}));
}

// --- The period's clock ---

TEST(FeedbackPeriodClock, ClickSecondRoundsHalvesToEven) {
    const std::vector<std::pair<double, Long>> table = {
        {100.4, 100}, {100.5, 100}, {100.6, 101}, {101.5, 102}, {0.5, 0}, {86399.5, 86400}};
    for (const auto &[click, stored] : table) {
        SCOPED_TRACE(click);
        QuizBench b;
        b.click(1, click);
        EXPECT_EQ(b.period.ClickSecond, stored);
    }
}

struct BoundaryRow {
    double click;
    double lastTickThatKeepsIt;
    double firstTickThatEndsIt;
};

TEST(FeedbackPeriodClock, EndsAtTheFirstTickMoreThanOneSecondAfterTheRoundedClick) {
    const std::vector<BoundaryRow> table = {
        {100.0, 101.0, 101.1}, // elapsed exactly 1 keeps the period
        {100.4, 101.0, 101.1},
        {100.6, 102.0, 102.1},
        {101.5, 103.0, 103.1},
        // Across midnight: the clock restarts at 0, the period still ends about a second later.
        {86399.2, 0.0, 0.1},
        {86399.7, 1.0, 1.1},
    };
    for (const BoundaryRow &row : table) {
        SCOPED_TRACE(row.click);
        QuizBench b;
        b.click(1, row.click);
        b.take();
        EXPECT_FALSE(b.tick(row.lastTickThatKeepsIt));
        EXPECT_TRUE(b.period.running());
        EXPECT_TRUE(b.tick(row.firstTickThatEndsIt));
        EXPECT_FALSE(b.period.running());
        EXPECT_EQ(b.take(), lines({"timer 0", "hide marks"}));
    }
}

TEST(FeedbackPeriodClock, ATickJustBeforeTheRoundedUpClickSecondDoesNotEndThePeriod) {
    // 100.6 is stored as 101: the ticks before 101 see a small negative elapsed value, which is no
    // midnight. Likewise 86399.7 is stored as 86400 and the tick at 86399.9 is still that day.
    for (const auto &[click, tick] : {std::pair{100.6, 100.7}, std::pair{86399.7, 86399.9}}) {
        SCOPED_TRACE(click);
        QuizBench b;
        b.click(1, click);
        EXPECT_FALSE(b.tick(tick));
        EXPECT_TRUE(b.period.running());
    }
}

TEST(FeedbackPeriodClock, ASecondRightClickPostponesTheSwitchAndPlaysNothing) {
    QuizBench b;
    b.click(b.right, 100.2);
    b.click(b.right, 100.9);
    EXPECT_EQ(b.take(), lines({"sound o.wav", "ring", "timer 100", "timer 100"}));
    EXPECT_FALSE(b.tick(102.0));
    EXPECT_TRUE(b.tick(102.1));
    EXPECT_EQ(b.take(), lines({"timer 0", "hide marks", "next screen"}));
}

// --- Hover highlighting ---

enum class Move { Enter, Reset, ClickRight, ClickOther, EndPeriod };

struct HoverStep {
    const char *what;
    Move move;
    int index;
    QStringList loads;
    int highlightedAfter;
};

void runSteps(QuizBench &b, const std::vector<HoverStep> &steps) {
    double now = 10.0;
    for (const HoverStep &step : steps) {
        SCOPED_TRACE(step.what);
        switch (step.move) {
        case Move::Enter:
            b.group.HoverEnter(step.index);
            break;
        case Move::Reset:
            b.group.HoverReset();
            break;
        case Move::ClickRight:
            b.click(b.right, now);
            break;
        case Move::ClickOther:
            b.click(step.index, now);
            break;
        case Move::EndPeriod:
            now += 5;
            b.tick(now);
            break;
        }
        QStringList loads;
        for (const QString &line : b.take())
            if (line.startsWith(QLatin1String("normal")) ||
                line.startsWith(QLatin1String("highlighted")))
                loads << line;
        EXPECT_EQ(loads, step.loads);
        EXPECT_EQ(b.group.HighlightedIndex, step.highlightedAfter);
    }
}

TEST(PictureSwapHighlight, EnteringMovingAndResetting) {
    QuizBench b;
    b.group.load();
    runSteps(
        b,
        {
            {"item 1 right after loading counts as highlighted", Move::Enter, 1, {}, 1},
            {"to a neighbour: restore, then highlight", Move::Enter, 2,
             lines({"normal 1", "highlighted 2"}), 2},
            {"moving within the item costs nothing", Move::Enter, 2, {}, 2},
            {"next neighbour", Move::Enter, 3, lines({"normal 2", "highlighted 3"}), 3},
            {"background or frame restores it", Move::Reset, 0, lines({"normal 3"}), -1},
            {"and reloads on every move", Move::Reset, 0, lines({"normal 3"}), -1},
            {"entering again needs no restore", Move::Enter, 3, lines({"highlighted 3"}), 3},
            {"after a reset item 1 highlights normally", Move::Reset, 0, lines({"normal 3"}), -1},
            {"item 1", Move::Enter, 1, lines({"highlighted 1"}), 1},
        });
}

TEST(PictureSwapHighlight, ARightAnswerFreezesTheHighlightWhereItIs) {
    QuizBench b;
    b.group.load();
    runSteps(b, {
                    {"hover 6", Move::Enter, 6, lines({"normal 1", "highlighted 6"}), 6},
                    {"right answer", Move::ClickRight, 0, {}, 6},
                    {"other items change nothing", Move::Enter, 7, {}, 6},
                    {"nor does the background", Move::Reset, 0, {}, 6},
                    {"the period ends, still frozen", Move::EndPeriod, 0, {}, 6},
                    {"still nothing", Move::Enter, 2, {}, 6},
                });
}

TEST(PictureSwapHighlight, AClickWhileTheCrossShowsFreezesUntilAJudgedWrongClick) {
    QuizBench b;
    b.group.load();
    runSteps(b,
             {
                 {"hover 2", Move::Enter, 2, lines({"normal 1", "highlighted 2"}), 2},
                 {"wrong answer leaves hover working", Move::ClickOther, 2, {}, 2},
                 {"hover follows", Move::Enter, 3, lines({"normal 2", "highlighted 3"}), 3},
                 {"click while the cross shows: not judged, frozen", Move::ClickOther, 3, {}, 3},
                 {"frozen", Move::Enter, 5, {}, 3},
                 {"frozen against the background too", Move::Reset, 0, {}, 3},
                 {"the cross goes, the freeze stays", Move::EndPeriod, 0, {}, 3},
                 {"still frozen", Move::Enter, 6, {}, 3},
                 {"a click judged wrong thaws it", Move::ClickOther, 6, {}, 3},
                 {"hover follows again", Move::Enter, 6, lines({"normal 3", "highlighted 6"}), 6},
             });
}

TEST(PictureSwapHighlight, WithoutAFrozenFlagTheGroupAlwaysFollows) {
    QStringList log;
    PictureSwapHighlight group(
        HoverGroup::Freezing::WithoutFrozenFlag,
        [&](int n) { log << QStringLiteral("normal %1").arg(n); },
        [&](int n) { log << QStringLiteral("highlighted %1").arg(n); });
    group.load();
    group.HoverFrozenFlag = 1;
    group.HoverEnter(4);
    group.HoverReset();
    EXPECT_EQ(log, lines({"normal 1", "highlighted 4", "normal 4"}));
    EXPECT_EQ(group.HighlightedIndex, -1);
}

// --- Bordered image boxes (two groups in one window) ---

struct BorderBench {
    QStringList log;
    BorderHighlight generator{HoverGroup::Freezing::WithFrozenFlag, [this](int n, int style) {
                                  log << QStringLiteral("generator %1 border %2").arg(n).arg(style);
                              }};
    BorderHighlight collector{HoverGroup::Freezing::WithFrozenFlag, [this](int n, int style) {
                                  log << QStringLiteral("collector %1 border %2").arg(n).arg(style);
                              }};
    BorderBench() {
        generator.load();
        collector.load();
    }
};

TEST(BorderHighlight, MovesTheBorderFromItemToItemAndTheFrameRemovesIt) {
    BorderBench b;
    b.generator.HoverEnter(3);
    b.generator.HoverEnter(2);
    b.generator.HoverReset();
    EXPECT_EQ(b.log, lines({"generator 1 border 0", "generator 3 border 1", "generator 3 border 0",
                            "generator 2 border 1", "generator 2 border 0"}));
    EXPECT_EQ(b.generator.HighlightedIndex, -1);
}

TEST(BorderHighlight, TheBackgroundResetsBothGroupsAndForgetsEvenAFrozenHighlight) {
    BorderBench b;
    b.generator.HoverEnter(2);
    b.collector.HoverEnter(3);
    b.generator.HoverFrozenFlag = 1; // a right generator answer
    b.log.clear();
    b.generator.HoverReset(); // its own frame: nothing while frozen
    EXPECT_TRUE(b.log.isEmpty());
    EXPECT_EQ(b.generator.HighlightedIndex, 2);
    BackgroundReset({&b.generator, &b.collector});
    EXPECT_EQ(b.log, lines({"collector 3 border 0"})); // the right image keeps its border
    EXPECT_EQ(b.generator.HighlightedIndex, -1);
    EXPECT_EQ(b.collector.HighlightedIndex, -1);
}

} // namespace
} // namespace vaporica::test
