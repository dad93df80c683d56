#pragma once

// The built program as a pupil meets it in a real window: a private X server, the program running
// in it with what it says on stderr, and a hand that moves, clicks and types through xdotool.

#include "XServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QThread>

#include <functional>
#include <string>

namespace vaporica::e2e {

// The sanitizer build runs several times slower: its waits and bounds stretch by Slowdown.
#ifdef VAPORICA_SANITIZED
constexpr int StartTimeoutMs = 30000;
constexpr int Slowdown = 3;
#else
constexpr int StartTimeoutMs = 10000;
constexpr int Slowdown = 1;
#endif

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

// Client-area positions of the controls the driven cases use (layout twips / 15, the middle).
const QPoint MenuQuiz(540, 244), MenuQuit(540, 366);
const QPoint QuizRightGas(666, 38), QuizWrongGas(666, 73), QuizQuit(501, 42);
const QPoint WrongGenerator(120, 224), RightGenerator(435, 247);
const QPoint WrongCollector(179, 443), RightCollector(568, 434), ApparatusQuit(687, 46);
const QPoint SummaryNext(460, 507), SummaryQuit(619, 507);
// Longer than a feedback period, so every click is judged on its own.
constexpr int Period = 1300;

const QString GasQuizCaption = QStringLiteral("ヴァポリカ");
const QString ApparatusCaption = QStringLiteral("装置と捕集");

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
        const QString summary = run.window(QStringLiteral("まとめ"));
        if (summary.isEmpty())
            return "no summary after both right answers";
        run.click(summary, SummaryNext);
        quiz = run.window(GasQuizCaption);
    }
    return {};
}

} // namespace vaporica::e2e
