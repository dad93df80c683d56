#include "bank/BankLoader.h"
#include "bank/QuestionSelection.h"
#include "base/SharedVariables.h"
#include "platform/Clock.h"
#include "platform/Random.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace vaporica::test {
namespace {

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        resetSharedVariables();
        QuestionCount = 20;
        emptyRecentWindow();
    }
    int draw() {
        BoundedRandom bounded(random);
        DrawQuestion(clock, bounded);
        return CurrentQuestion;
    }
    // Re-seeds happen with the clock stopped, as happens when redraws fall in one clock tick.
    SettableClock clock;
    Rnd24 random{0x123456};
};

TEST_F(Selection, AnyTwelveConsecutiveQuestionsAreDistinctAndTheThirteenthMayRepeat) {
    std::vector<int> asked;
    for (int i = 0; i < 5000; ++i) {
        clock.now += 0.37;
        asked.push_back(draw());
    }
    int repeatsAtThirteen = 0;
    for (std::size_t i = 0; i + 12 <= asked.size(); ++i) {
        std::set<int> window(asked.begin() + i, asked.begin() + i + 12);
        ASSERT_EQ(window.size(), 12u) << "repeat within 12 questions ending at " << i + 11;
        if (i + 12 < asked.size() && asked[i + 12] == asked[i])
            ++repeatsAtThirteen;
    }
    // With 9 free questions each is 1/9 likely; over ~5000 windows a repeat at 13 must occur.
    EXPECT_GT(repeatsAtThirteen, 100);
}

TEST_F(Selection, WindowHoldsTheLastElevenWithMatchingFlags) {
    for (int i = 0; i < 40; ++i) {
        const int q = draw();
        const int filled = std::min(i + 1, 11);
        EXPECT_EQ(RecentQueue(11), q);
        std::set<int> inWindow;
        for (int slot = 1; slot <= 11; ++slot) {
            if (slot <= 11 - filled)
                EXPECT_EQ(RecentQueue(slot), 0) << "slot " << slot << " after " << i + 1;
            else
                inWindow.insert(RecentQueue(slot));
        }
        ASSERT_EQ(static_cast<int>(inWindow.size()), filled);
        for (int question = 1; question <= 20; ++question)
            EXPECT_EQ(UsedFlag(question), inWindow.count(question) ? 1 : 0);
        EXPECT_EQ(UsedFlag(0), 0);
        for (int slot = 12; slot <= 20; ++slot)
            EXPECT_EQ(RecentQueue(slot), 0);
    }
}

TEST_F(Selection, RedrawsWithinOneClockTickMoveOn) {
    // The clock never moves: the draws must still step through the sequence, not repeat the one
    // value that collides with the window.
    std::set<int> asked;
    ASSERT_NO_THROW({
        for (int i = 0; i < 200; ++i)
            asked.insert(draw());
    });
    EXPECT_EQ(asked.size(), 20u);
}

TEST(Rnd24, TwoReseedsWithTheSameClockValueStillMoveOn) {
    Rnd24 random;
    random.reseed(36000.25);
    const float first = random.next();
    random.reseed(36000.25);
    EXPECT_NE(random.next(), first);
}

// Every start of the program begins from the same generator state; the clock at the first draw
// is what makes one lesson's questions differ from the next one's.
TEST_F(Selection, EachStartOfTheProgramAsksItsOwnFirstQuestion) {
    std::set<int> firsts;
    for (int start = 0; start < 200; ++start) {
        Rnd24 fresh;
        emptyRecentWindow();
        clock.now = 28800.0 + start * 131.7;
        DrawQuestion(clock, fresh);
        firsts.insert(CurrentQuestion);
    }
    EXPECT_GE(firsts.size(), 15u);
}

// Records the order of re-seeds and draws.
class RecordingRandom final : public RandomSource {
public:
    std::vector<float> values;
    std::vector<std::string> calls;
    void reseed(double) override { calls.push_back("reseed"); }
    float next() override {
        calls.push_back("next");
        return values.at(drawn_++);
    }

private:
    std::size_t drawn_ = 0;
};

TEST_F(Selection, EveryDrawIsReseededFromTheClockFirst) {
    RecordingRandom recording;
    recording.values = {0.0f, 0.0f, 0.5f}; // question 1 twice, then 11
    DrawQuestion(clock, recording);        // 1, into the window
    recording.calls.clear();
    DrawQuestion(clock, recording); // 1 again is in the window: drawn once more
    EXPECT_EQ(CurrentQuestion, 11);
    EXPECT_EQ(recording.calls, (std::vector<std::string>{"reseed", "next", "reseed", "next"}));
}

TEST_F(Selection, EmptyingTheWindowLetsTheLastQuestionComeBack) {
    const int first = draw();
    emptyRecentWindow();
    EXPECT_EQ(UsedFlag(first), 0);
    for (int slot = 1; slot <= 20; ++slot)
        EXPECT_EQ(RecentQueue(slot), 0);
    // Drawn with a scripted value that names the same question again.
    ScriptedRandom scripted;
    scripted.values = {static_cast<float>(first - 1) / 20.0f + 0.01f};
    DrawQuestion(clock, scripted);
    EXPECT_EQ(CurrentQuestion, first);
}

TEST_F(Selection, DrawMapsTheUnitIntervalOntoOneToTwenty) {
    ScriptedRandom scripted;
    scripted.values = {0.0f, 0.049999f, 0.05f, 0.999999f};
    std::vector<int> got;
    for (int i = 0; i < 4; ++i) {
        emptyRecentWindow();
        DrawQuestion(clock, scripted);
        got.push_back(CurrentQuestion);
    }
    EXPECT_EQ(got, (std::vector<int>{1, 1, 2, 20}));
    EXPECT_EQ(scripted.reseeds, 4);
}

TEST_F(Selection, FirstQuestionAfterTheMenuCanBeAnyQuestion) {
    // A fixed generator state and a clock that moves as a pupil's would: every question turns up
    // as the first one, none more than about twice as often as fair.
    std::map<int, int> firsts;
    for (int run = 0; run < 4000; ++run) {
        emptyRecentWindow();
        clock.now = 30000.0 + run * 7.3;
        firsts[draw()]++;
    }
    ASSERT_EQ(firsts.size(), 20u);
    for (const auto &[question, count] : firsts) {
        EXPECT_GT(count, 100) << "question " << question;
        EXPECT_LT(count, 400) << "question " << question;
    }
}

} // namespace
} // namespace vaporica::test
