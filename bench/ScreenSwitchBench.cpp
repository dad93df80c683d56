// What a pupil waits for between two screens: one ScreenSwitch from the screen the program usually
// comes from, with the old screen unloaded, the new one built, loaded and shown, and the event
// loop's share of it (the first paint, the deletion of the old screen) until the program is idle
// again. The sound player is a silent stand-in, so opening an audio device is not counted.

#include "BenchServices.h"
#include "app/ErrorReport.h"
#include "app/Navigation.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"
#include "widgets/ScalablePicture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace vaporica;

// The first runtime error a switch reported; a benchmark that saw one stops with it.
std::string firstReport;

// False, with the benchmark stopped, once a switch has reported an error or ended the program.
bool stillRunning(benchmark::State &state) {
    if (!firstReport.empty()) {
        state.SkipWithError(firstReport.c_str());
        return false;
    }
    if (programHasEnded() || currentScreen() == nullptr) {
        state.SkipWithError("the program ended");
        return false;
    }
    return true;
}

// Starts the program on the data directory the build writes, as main() does, but with a silent
// player and a report that the benchmark shows instead of a modal box.
bool startProgram(benchmark::State &state) {
    // The screens' captions are drawn in the Mincho faces the program puts in place at start.
    static const bool fonts = (installFontSubstitutes(), true);
    (void)fonts;
    resetNavigation();
    firstReport.clear();
    setErrorReporter([](const RuntimeError &e) {
        if (firstReport.empty())
            firstReport = e.reportLine().toStdString();
    });
    bench::useBenchServices();
    StartUp(QStringLiteral(VAPORICA_DATA_DIR));
    // What the program prepares while the menu is read is done before anything is measured.
    QElapsedTimer waited;
    waited.start();
    while (preparingArtwork() && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
    return stillRunning(state);
}

// Every handler runs the switch through the guard; then the event loop paints the new window and
// deletes the old one.
void switchAndSettle(ScreenId target) {
    guarded([target] { ScreenSwitch(target); });
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The switch a first-visit case times, apart so that a profiler can be told to count it alone.
[[gnu::noinline]] void timedSwitch(ScreenId target) {
    switchAndSettle(target);
}

// Untimed: brings the program to the screen the measured switch starts from.
using Reach = void (*)(int iteration);

void switchFrom(benchmark::State &state, Reach reach, ScreenId target) {
    if (startProgram(state)) {
        int iteration = 0;
        for (auto _ : state) {
            state.PauseTiming();
            reach(iteration++);
            state.ResumeTiming();
            switchAndSettle(target);
            if (!stillRunning(state))
                break;
        }
    }
    resetNavigation();
    useStandardErrorReporter();
}

// Back from the quiz: the menu rereads the question bank.
void BM_SwitchToMenu(benchmark::State &state) {
    switchFrom(
        state, [](int) { switchAndSettle(ScreenId::GasQuiz); }, ScreenId::Menu);
}
BENCHMARK(BM_SwitchToMenu)->Unit(benchmark::kMillisecond);

// The quiz button on the menu: forty picture reads and a question drawn.
void BM_SwitchToGasQuiz(benchmark::State &state) {
    switchFrom(
        state, [](int) { switchAndSettle(ScreenId::Menu); }, ScreenId::GasQuiz);
}
BENCHMARK(BM_SwitchToGasQuiz)->Unit(benchmark::kMillisecond);

// The gas named: the quiz that drew the question hands it on.
void BM_SwitchToApparatusQuiz(benchmark::State &state) {
    switchFrom(
        state, [](int) { switchAndSettle(ScreenId::GasQuiz); }, ScreenId::ApparatusQuiz);
}
BENCHMARK(BM_SwitchToApparatusQuiz)->Unit(benchmark::kMillisecond);

// Both apparatus answers right; every question in turn, as their pictures differ in size.
void BM_SwitchToSummary(benchmark::State &state) {
    switchFrom(
        state,
        [](int iteration) {
            CurrentQuestion = static_cast<Integer>(iteration % MaxQuestions + 1);
            switchAndSettle(ScreenId::ApparatusQuiz);
        },
        ScreenId::Summary);
}
BENCHMARK(BM_SwitchToSummary)->Unit(benchmark::kMillisecond);

// The properties button on the summary.
void BM_SwitchToProperties(benchmark::State &state) {
    switchFrom(
        state,
        [](int iteration) {
            CurrentQuestion = static_cast<Integer>(iteration % MaxQuestions + 1);
            switchAndSettle(ScreenId::Summary);
        },
        ScreenId::Properties);
}
BENCHMARK(BM_SwitchToProperties)->Unit(benchmark::kMillisecond);

// A screen's first visit on a denser screen (QT_SCALE_FACTOR=2): nothing rendered for the device
// yet but what the screen it comes from shows, as on the first pass through the program, with
// argument 1 after what the program prepares while the menu is read (artwork, plates).
void firstVisit(benchmark::State &state, ScreenId from, ScreenId target) {
    const bool prepared = state.range(0) == 1;
    // The screens after the gas quiz show the question it draws; a run of this benchmark alone
    // has drawn none.
    CurrentQuestion = 1;
    if (startProgram(state)) {
        for (auto _ : state) {
            state.PauseTiming();
            forgetRenderedArtwork();
            switchAndSettle(ScreenId::Menu);
            if (prepared)
                prepareScreensAhead(qApp->devicePixelRatio());
            if (from != ScreenId::Menu)
                switchAndSettle(from);
            state.ResumeTiming();
            timedSwitch(target);
            if (!stillRunning(state))
                break;
        }
    }
    resetNavigation();
    useStandardErrorReporter();
}

void BM_FirstVisitToGasQuiz(benchmark::State &state) {
    firstVisit(state, ScreenId::Menu, ScreenId::GasQuiz);
}
BENCHMARK(BM_FirstVisitToGasQuiz)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FirstVisitToApparatusQuiz(benchmark::State &state) {
    firstVisit(state, ScreenId::GasQuiz, ScreenId::ApparatusQuiz);
}
BENCHMARK(BM_FirstVisitToApparatusQuiz)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FirstVisitToSummary(benchmark::State &state) {
    firstVisit(state, ScreenId::ApparatusQuiz, ScreenId::Summary);
}
BENCHMARK(BM_FirstVisitToSummary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FirstVisitToProperties(benchmark::State &state) {
    firstVisit(state, ScreenId::Summary, ScreenId::Properties);
}
BENCHMARK(BM_FirstVisitToProperties)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Back to the menu from the gas quiz, the menu's artwork forgotten as well.
void BM_FirstVisitToMenu(benchmark::State &state) {
    const bool prepared = state.range(0) == 1;
    if (startProgram(state)) {
        for (auto _ : state) {
            state.PauseTiming();
            switchAndSettle(ScreenId::GasQuiz);
            forgetRenderedArtwork();
            if (prepared)
                prepareScreensAhead(qApp->devicePixelRatio());
            state.ResumeTiming();
            switchAndSettle(ScreenId::Menu);
            if (!stillRunning(state))
                break;
        }
    }
    resetNavigation();
    useStandardErrorReporter();
}
BENCHMARK(BM_FirstVisitToMenu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The first pass of a pupil through a fresh program, once the menu has been read: each switch a
// first visit, in the order a pupil meets them, with nothing forgotten or prepared by hand. Only
// a new process has a first pass: run this case alone, several times, and take the medians of
// its counters (milliseconds per switch).
void BM_FirstPass(benchmark::State &state) {
    struct Step {
        const char *counter;
        ScreenId target;
    };
    constexpr Step Pass[] = {{"gas_quiz", ScreenId::GasQuiz},
                             {"apparatus_quiz", ScreenId::ApparatusQuiz},
                             {"summary", ScreenId::Summary},
                             {"properties", ScreenId::Properties},
                             {"menu", ScreenId::Menu}};
    if (startProgram(state)) {
        for (auto _ : state) {
            for (const Step &step : Pass) {
                QElapsedTimer clock;
                clock.start();
                switchAndSettle(step.target);
                state.counters[step.counter] = double(clock.nsecsElapsed()) / 1e6;
                if (!stillRunning(state))
                    break;
            }
        }
    }
    resetNavigation();
    useStandardErrorReporter();
}
BENCHMARK(BM_FirstPass)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
