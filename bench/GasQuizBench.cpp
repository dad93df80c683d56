// What a pupil waits for on the gas quiz: the screen's load with its 40 picture reads, and the
// picture swap when the pointer moves from one gas button to the next. Pictures are never cached,
// so every figure here includes reading and decoding GIF files from disk.

#include "BenchServices.h"
#include "app/Navigation.h"
#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "bank/BankLoader.h"
#include "base/SharedVariables.h"
#include "platform/MemoryReuse.h"
#include "screens/GasQuizScreen.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace vaporica;

void prepare() {
    DataRoot = trimDataRoot(QDir::toNativeSeparators(QStringLiteral(VAPORICA_DATA_DIR)));
    bench::useBenchServices();
    QuestionCount = 20;
    emptyRecentWindow();
    loadQuestionBank();
}

// Building the controls (the design-time plates and the artwork) without Form_Load.
void BM_GasQuizConstruct(benchmark::State &state) {
    prepare();
    for (auto _ : state) {
        GasQuizScreen screen;
        benchmark::DoNotOptimize(&screen);
    }
}
BENCHMARK(BM_GasQuizConstruct)->Unit(benchmark::kMillisecond);

// The whole load: construction, then Form_Load with its 38 + 2 picture reads and the draw.
void BM_GasQuizLoad(benchmark::State &state) {
    prepare();
    for (auto _ : state) {
        GasQuizScreen screen;
        screen.Form_Load();
        benchmark::DoNotOptimize(&screen);
    }
}
BENCHMARK(BM_GasQuizLoad)->Unit(benchmark::kMillisecond);

// One picture read, for scale: the load above holds forty of them.
void BM_LoadOneGasPicture(benchmark::State &state) {
    prepare();
    const QString path = PicturePath(fragment::GasNormal, 11);
    for (auto _ : state)
        benchmark::DoNotOptimize(loadPicture(path));
}
BENCHMARK(BM_LoadOneGasPicture)->Unit(benchmark::kMicrosecond);

// The pointer moves from one gas button to its neighbour: the first gets its normal picture back,
// the neighbour its highlighted one (two reads).
void BM_HoverSwap(benchmark::State &state) {
    prepare();
    GasQuizScreen screen;
    screen.Form_Load();
    int next = 2;
    for (auto _ : state) {
        screen.Command1_MouseMove(next);
        next = next == 2 ? 3 : 2;
    }
}
BENCHMARK(BM_HoverSwap)->Unit(benchmark::kMicrosecond);

// A move within one button: the highlight step returns at once.
void BM_HoverWithinOneButton(benchmark::State &state) {
    prepare();
    GasQuizScreen screen;
    screen.Form_Load();
    screen.Command1_MouseMove(4);
    for (auto _ : state)
        screen.Command1_MouseMove(4);
}
BENCHMARK(BM_HoverWithinOneButton)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv) {
    vaporica::keepFreedMemoryForReuse(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
