#pragma once

// The built program as a pupil meets it in a real window: a private X server, the program running
// in it with what it says on stderr, and a hand that moves, clicks and types through xdotool.

#include "DataCopy.h"
#include "Sanitized.h"
#include "XServer.h"
#include "screens/ScreenFactory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

namespace vaporica::e2e {

using test::Slowdown;
using vaporica::ScreenId;
constexpr int StartTimeoutMs = 10000 * Slowdown;

// The program as it runs, and what it has said on stderr so far.
class ProgramRun {
public:
    ProgramRun(const QString &executable, const QString &workDir, const QProcessEnvironment &env,
               const QStringList &arguments = {}) {
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(workDir); // not the data directory: it must not matter
        program_.start(executable, arguments);
        started_ = program_.waitForStarted(StartTimeoutMs);
        display_ = env.value(QStringLiteral("DISPLAY"));
    }
    ~ProgramRun() {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(StartTimeoutMs);
        }
    }
    bool started() const { return started_; }
    bool running() const { return program_.state() != QProcess::NotRunning; }
    const QByteArray &err() {
        err_ += program_.readAllStandardError();
        return err_;
    }
    // What the program said, for a failure message.
    std::string errShown() { return err().left(3000).toStdString(); }
    // Waits up to `ms` for the program to end or for `until` to hold; true when it held.
    bool waitFor(const std::function<bool()> &until, int ms = StartTimeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (until())
                return true;
            if (program_.waitForFinished(50))
                return until();
        }
        return false;
    }
    bool finish(int ms = StartTimeoutMs) {
        waitFor([this] { return !running(); }, ms);
        if (running())
            return false;
        err();
        return true;
    }
    QProcess &process() { return program_; }

    // The most memory the program has held so far (VmHWM), in MB; 0 once it has ended.
    int peakMemoryMb() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(program_.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toInt() / 1024;
        return 0;
    }

    // The pupil's hand, through xdotool in the program's X server.
    QByteArray xdotool(const QStringList &args) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), args);
        // Typing a line of Japanese, one key every few tenths of a second, takes its time.
        tool.waitForFinished(60000);
        return tool.readAllStandardOutput();
    }
    // The visible window with exactly this caption, or nothing once the program has ended or the
    // time is up.
    QString window(const QString &caption, int ms = StartTimeoutMs) {
        QString found;
        waitFor(
            [&] {
                const QByteArray ids =
                    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), '^' + caption + '$'});
                found = QString::fromLatin1(ids.split('\n').value(0)).trimmed();
                return !found.isEmpty() || !running();
            },
            ms);
        return found;
    }
    void click(const QString &window, QPoint at) {
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                 QString::number(at.x()), QString::number(at.y())});
        pause(150); // the pointer-move handlers run, as they would for a person
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
    }
    // Presses OK in the report's message box, giving it the keyboard first (no window manager
    // does), until the program has ended.
    bool dismissReport() {
        return waitFor([this] {
            const QList<QByteArray> boxes =
                xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--name"), QStringLiteral("^ヴァポリカ$")})
                    .trimmed()
                    .split('\n');
            if (!boxes.last().isEmpty()) {
                xdotool({QStringLiteral("windowfocus"), QString::fromLatin1(boxes.last())});
                key(QStringLiteral("Return"));
            }
            pause(300);
            return !running();
        });
    }
    // Where the window's top-left corner is on the screen.
    QPoint position(const QString &window) {
        const QByteArray geometry = xdotool({QStringLiteral("getwindowgeometry"), window});
        const qsizetype at = geometry.indexOf("Position: ");
        const QList<QByteArray> xy = geometry.mid(at + 10).split(' ').value(0).split(',');
        return at < 0 || xy.size() != 2 ? QPoint(-9999, -9999)
                                        : QPoint(xy[0].toInt(), xy[1].toInt());
    }
    void key(const QString &name) { xdotool({QStringLiteral("key"), name}); }
    // The window's pixels as the X server holds them (device pixels).
    QImage pixels(const QString &window) {
        QProcess import;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        import.setProcessEnvironment(env);
        import.start(QStringLiteral("import"),
                     {QStringLiteral("-window"), window, QStringLiteral("png:-")});
        import.waitForFinished(10000);
        return QImage::fromData(import.readAllStandardOutput(), "PNG")
            .convertToFormat(QImage::Format_RGB32);
    }
    void pause(int ms) {
        waitFor([] { return false; }, ms);
    }

private:
    QProcess program_;
    QByteArray err_;
    QString display_;
    bool started_ = false;
};

// Where a screen's layout table puts a control (item `index` of an array), in layout pixels of
// its window: the clicks follow a control moved in the table. A name the table does not hold
// stops the test program before any case runs.
inline QRect controlPlace(ScreenId screen, const char *name, int index = 1) {
    const QRect place = placeInWindow(screen, name, index);
    if (place.isNull()) {
        std::fprintf(stderr, "no control %s (item %d) in the layout table of screen %d\n", name,
                     index, static_cast<int>(screen));
        std::abort();
    }
    return place;
}
inline QPoint controlMiddle(ScreenId screen, const char *name, int index = 1) {
    const QRect place = controlPlace(screen, name, index);
    return place.topLeft() + QPoint(place.width() / 2, place.height() / 2);
}

// The number at `position` (from 1) of a question record such as OxygenRecord.
inline int recordNumber(const QByteArray &record, int position) {
    return record.split(',').value(position - 1).toInt();
}
// Where a record holds the numbers of the buttons and pictures that answer it.
constexpr int GasNumber = 1, GeneratorNumber = 4, CollectionNumber = 5;

// The controls the driven cases click, at their middles. The right answers are OxygenRecord's; the
// wrong ones the gas button below its gas, and the first generator and collection (not its).
const QPoint MenuQuiz = controlMiddle(ScreenId::Menu, "Command1");
const QPoint MenuQuit = controlMiddle(ScreenId::Menu, "Command3");
const QPoint QuizRightGas =
    controlMiddle(ScreenId::GasQuiz, "Command1", recordNumber(OxygenRecord, GasNumber));
const QPoint QuizWrongGas =
    controlMiddle(ScreenId::GasQuiz, "Command1", recordNumber(OxygenRecord, GasNumber) + 1);
const QPoint QuizQuit = controlMiddle(ScreenId::GasQuiz, "Command2");
const QPoint WrongGenerator = controlMiddle(ScreenId::ApparatusQuiz, "Image1", 1);
const QPoint RightGenerator =
    controlMiddle(ScreenId::ApparatusQuiz, "Image1", recordNumber(OxygenRecord, GeneratorNumber));
const QPoint WrongCollector = controlMiddle(ScreenId::ApparatusQuiz, "Image2", 1);
const QPoint RightCollector =
    controlMiddle(ScreenId::ApparatusQuiz, "Image2", recordNumber(OxygenRecord, CollectionNumber));
const QPoint ApparatusQuit = controlMiddle(ScreenId::ApparatusQuiz, "Command2");
const QPoint SummaryNext = controlMiddle(ScreenId::Summary, "Command2");
const QPoint SummaryQuit = controlMiddle(ScreenId::Summary, "Command1");

// Longer than a feedback period, so every click is judged on its own.
constexpr int Period = 1300;

const QString MenuCaption = QStringLiteral("メニュー");
const QString GasQuizCaption = QStringLiteral("ヴァポリカ");
const QString ApparatusCaption = QStringLiteral("装置と捕集");
const QString SummaryCaption = QStringLiteral("まとめ");
const QString PropertiesCaption = QStringLiteral("気体の性質");

// On both quiz screens a wrong answer, then the right one (each plays its sound), the next
// question, and a wrong and the right gas again; then quit. Returns what failed, or nothing.
inline std::string answerWholeQuestions(ProgramRun &run, const QString &menu) {
    run.click(menu, MenuQuiz);
    QString quiz = run.window(GasQuizCaption);
    for (int round = 1; round <= 2; ++round) {
        if (quiz.isEmpty())
            return "no gas quiz in round " + std::to_string(round);
        run.click(quiz, QuizWrongGas);
        run.pause(Period);
        run.click(quiz, QuizRightGas);
        const QString apparatus = run.window(ApparatusCaption);
        if (apparatus.isEmpty())
            return "no apparatus quiz after the right gas in round " + std::to_string(round);
        if (round == 2) {
            run.click(apparatus, ApparatusQuit);
            return {};
        }
        for (QPoint at : {WrongGenerator, RightGenerator, WrongCollector}) {
            run.click(apparatus, at);
            run.pause(Period);
        }
        run.click(apparatus, RightCollector);
        const QString summary = run.window(SummaryCaption);
        if (summary.isEmpty())
            return "no summary after both right answers";
        run.click(summary, SummaryNext);
        quiz = run.window(GasQuizCaption);
    }
    return {};
}

// A case with a private X server of its own (1024 x 768) and a copy of the data in which every
// question is the shipped first one, so its right answers are known.
class OneQuestionDesktop : public testing::Test {
protected:
    explicit OneQuestionDesktop(const char *workName)
        : work_(QStringLiteral(VAPORICA_WORK_DIR "/") + QLatin1String(workName) +
                QStringLiteral("-XXXXXX")) {}
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        copy_.emplace(work_.filePath(QStringLiteral("one-question")));
        everyRecord(OxygenRecord)(*copy_);
        server_.emplace(work_.path(), QSize(1024, 768));
        ASSERT_FALSE(server_->display().isEmpty()) << "Xvfb did not start";
    }

    const DataCopy &copy() const { return *copy_; }
    const XServer &server() const { return *server_; }
    const QString &display() const { return server_->display(); }
    QString workPath() const { return work_.path(); }
    QString work(const QString &relative) const { return work_.filePath(relative); }

private:
    QTemporaryDir work_;
    std::optional<DataCopy> copy_;
    std::optional<XServer> server_;
};

} // namespace vaporica::e2e
