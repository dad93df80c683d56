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
#include <cstring>
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

// What the program prepares in idle time after a screen has shown, done as while a pupil reads
// it: untimed.
void whileThePupilReads() {
    QElapsedTimer waited;
    waited.start();
    while (preparingArtwork() && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
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
    whileThePupilReads();
    return stillRunning(state);
}

// Every handler runs the switch through the guard; then the event loop paints the new window and
// deletes the old one.
void switchAndSettle(ScreenId target) {
    guarded([target] { ScreenSwitch(target); });
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Times the switch to `target`, each time after an untimed `reach` (given the iteration's number)
// has brought the program to the screen the switch starts from.
template <class Reach> void timeSwitches(benchmark::State &state, ScreenId target, Reach reach) {
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

// A switch from the screen the program usually comes from.
struct Switch {
    const char *laterVisit, *firstVisit; // the benchmarks' names
    ScreenId from, target;
    // The summary and the properties go through every question in turn, as their pictures differ
    // in size.
    bool everyQuestion;
};

// In the order of a pass through the program, and back to the menu.
const Switch Switches[] = {
    // The quiz button on the menu: forty picture reads and a question drawn.
    {"BM_SwitchToGasQuiz", "BM_FirstVisitToGasQuiz", ScreenId::Menu, ScreenId::GasQuiz, false},
    // The gas named: the quiz that drew the question hands it on.
    {"BM_SwitchToApparatusQuiz", "BM_FirstVisitToApparatusQuiz", ScreenId::GasQuiz,
     ScreenId::ApparatusQuiz, false},
    // Both apparatus answers right.
    {"BM_SwitchToSummary", "BM_FirstVisitToSummary", ScreenId::ApparatusQuiz, ScreenId::Summary,
     true},
    // The properties button on the summary.
    {"BM_SwitchToProperties", "BM_FirstVisitToProperties", ScreenId::Summary, ScreenId::Properties,
     true},
    // Back from the quiz: the menu rereads the question bank.
    {"BM_SwitchToMenu", "BM_FirstVisitToMenu", ScreenId::GasQuiz, ScreenId::Menu, false},
};

void laterVisit(benchmark::State &state, const Switch &s) {
    timeSwitches(state, s.target, [&s](int iteration) {
        if (s.everyQuestion)
            CurrentQuestion = static_cast<Integer>(iteration % MaxQuestions + 1);
        switchAndSettle(s.from);
    });
}

// A screen's first visit on a denser screen (QT_SCALE_FACTOR=2): nothing rendered for the device
// yet but what the screen it comes from shows, as on the first pass through the program, with
// argument 1 after what the program prepares while the menu is read (artwork, plates). Back to the
// menu, the menu's artwork is forgotten as well.
void firstVisit(benchmark::State &state, const Switch &s) {
    const bool prepared = state.range(0) == 1;
    // The screens after the gas quiz show the question it draws; a run of this case alone has
    // drawn none.
    CurrentQuestion = 1;
    const auto prepare = [prepared] {
        if (prepared)
            prepareScreensAhead(qApp->devicePixelRatio());
    };
    timeSwitches(state, s.target, [&](int) {
        if (s.target == ScreenId::Menu) {
            switchAndSettle(s.from);
            forgetRenderedArtwork();
            prepare();
            return;
        }
        forgetRenderedArtwork();
        switchAndSettle(ScreenId::Menu);
        prepare();
        if (s.from != ScreenId::Menu)
            switchAndSettle(s.from);
    });
}

// The first pass of a pupil through a fresh program once the menu has been read: every switch of
// the table a first visit, in its order, with nothing forgotten or prepared by hand. Only a new
// process has a first pass: run this case alone, several times, and take the medians of its
// counters (milliseconds per switch, named after the screen switched to).
void BM_FirstPass(benchmark::State &state) {
    if (startProgram(state)) {
        for (auto _ : state) {
            for (const Switch &s : Switches) {
                QElapsedTimer clock;
                clock.start();
                switchAndSettle(s.target);
                state.counters[std::string(s.laterVisit).substr(std::strlen("BM_SwitchTo"))] =
                    double(clock.nsecsElapsed()) / 1e6;
                whileThePupilReads();
                if (!stillRunning(state))
                    break;
            }
        }
    }
    resetNavigation();
    useStandardErrorReporter();
}
BENCHMARK(BM_FirstPass)->Iterations(1)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool registered = [] {
    for (const Switch &s : Switches)
        benchmark::RegisterBenchmark(s.laterVisit, laterVisit, s)->Unit(benchmark::kMillisecond);
    for (const Switch &s : Switches)
        benchmark::RegisterBenchmark(s.firstVisit, firstVisit, s)
            ->Arg(0)
            ->Arg(1)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
