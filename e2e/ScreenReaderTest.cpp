// The program as a blind pupil meets it, in a private X server with a private session and
// accessibility bus. Through the accessibility bus alone, as a screen reader works: each control
// found by its role and name, pressed by its action, the announcements heard, with no pointer and
// no key. And by ear: the real screen reader, Orca, with its debug log as the record of what it
// speaks (speech-dispatcher with the dummy output, so nothing sounds), the program started as a
// pupil's desktop starts it, in ja_JP.UTF-8, driven by key presses alone.
//
// Every record of the bank is the shipped first question: oxygen from potassium chlorate and
// manganese dioxide, generator 3, collection over water.

#include "AccessibilityBus.h"
#include "DataCopy.h"
#include "ProgramRun.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <optional>
#include <signal.h>

namespace {

using namespace vaporica::e2e;

const QString Prompt = QStringLiteral("下の薬品の組合せで発生する気体は何ですか");
const QString QuestionReagent = QStringLiteral("問題の薬品");
const QString RightGas = QStringLiteral("酸素"), WrongGas = QStringLiteral("水素");
const QStringList Reagents = {QStringLiteral("塩素酸カリウム"), QStringLiteral("二酸化マンガン")};
const QString RightGenerator = QStringLiteral("試験管に入れた固体を加熱する");
const QString WrongCollector = QStringLiteral("下方置換"),
              RightCollector = QStringLiteral("水上置換");

// A private X server and a private session bus, on which the accessibility bus starts when it is
// first asked for; this process is a client of both.
class PrivateDesktop : public OneQuestionDesktop {
protected:
    PrivateDesktop() : OneQuestionDesktop("screen-reader") {}
    void SetUp() override {
        OneQuestionDesktop::SetUp();
        if (HasFatalFailure())
            return;
        env_ = server().environment();
        // The run's own place for sockets, which the session's services make there.
        ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("runtime"))));
        QFile::setPermissions(work(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), work(QStringLiteral("runtime")));
    }
    void startSessionBus() {
        ASSERT_TRUE(vaporica::e2e::startSessionBus(bus_, env_)) << "dbus-daemon did not start";
    }
    void TearDown() override {
        bus_.kill();
        bus_.waitForFinished(5000);
    }

    QProcessEnvironment env_;

private:
    QProcess bus_;
};

// --- Through the accessibility bus alone -----------------------------------------------------

class ThroughTheBus : public PrivateDesktop {
protected:
    void SetUp() override {
        PrivateDesktop::SetUp();
        if (HasFatalFailure())
            return;
        // Qt publishes its accessibility tree without a running screen reader when asked to.
        env_.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        startSessionBus();
        if (HasFatalFailure())
            return;
        atspi_init();
        listener_.emplace();
    }

    Accessible window(const QString &caption, int ms = StartTimeoutMs) {
        const Accessible found = windowOf(app_, caption, ms);
        if (found)
            std::cout << "[" << caption.toStdString() << "]\n";
        return found;
    }
    void press(const Accessible &window, AtspiRole role, const QString &name) {
        const Accessible control = window.find(role, name);
        ASSERT_TRUE(control) << "no control named " << name.toStdString();
        std::cout << "  press: " << name.toStdString() << " (" << control.roleName().toStdString()
                  << ")\n";
        ASSERT_TRUE(control.press()) << name.toStdString() << " has no press action";
    }
    void expectAnnouncement(const QString &words) {
        EXPECT_TRUE(listener_->expectAnnouncement(words))
            << "not announced: " << words.toStdString() << " (heard "
            << listener_->announced().join(QStringLiteral(" / ")).toStdString() << ")";
    }
    // The prompt as text, and the question's two reagents by their names and their mark.
    void expectTheQuestionRead(const Accessible &quiz) {
        const Accessible prompt = quiz.find(std::nullopt, Prompt);
        ASSERT_TRUE(prompt) << "the gas quiz does not expose its prompt";
        EXPECT_TRUE(prompt.role() == ATSPI_ROLE_LABEL || prompt.role() == ATSPI_ROLE_STATIC)
            << prompt.roleName().toStdString();
        QStringList marked;
        for (const Accessible &image : quiz.findAll(ATSPI_ROLE_IMAGE))
            if (image.description() == QuestionReagent)
                marked << image.name();
        EXPECT_EQ(marked, Reagents);
    }
    void expectFrames(const Accessible &window, const QStringList &frames) {
        for (const QString &frame : frames) {
            const Accessible group = window.find(ATSPI_ROLE_PANEL, frame);
            EXPECT_TRUE(group) << "no frame named " << frame.toStdString();
            if (group)
                std::cout << "  reads: " << frame.toStdString() << ": "
                          << group.childNames().toStdString() << "\n";
        }
    }

    Accessible app_;
    std::optional<Listener> listener_;
};

TEST_F(ThroughTheBus, AWholeQuestionByItsControlsAndAnnouncements) {
    ProgramRun run(copy().executable(), work(QString()), env_);
    ASSERT_TRUE(run.started());
    app_ = applicationOf(run.process().processId(), 2 * StartTimeoutMs);
    ASSERT_TRUE(app_) << "the program does not appear on the accessibility bus\n" << run.errShown();

    const Accessible menu = window(MenuCaption, 2 * StartTimeoutMs);
    ASSERT_TRUE(menu);
    press(menu, ATSPI_ROLE_PUSH_BUTTON, QStringLiteral("ヴァポリカ"));

    Accessible quiz = window(GasQuizCaption);
    ASSERT_TRUE(quiz);
    expectTheQuestionRead(quiz);
    press(quiz, ATSPI_ROLE_PUSH_BUTTON, WrongGas);
    expectAnnouncement(QStringLiteral("不正解"));
    pumpEvents(1500); // the cross shows for about a second; a press meanwhile is not judged
    press(quiz, ATSPI_ROLE_PUSH_BUTTON, RightGas);
    expectAnnouncement(QStringLiteral("正解"));

    const Accessible apparatus = window(ApparatusCaption);
    ASSERT_TRUE(apparatus);
    expectFrames(apparatus, {QStringLiteral("気体"), QStringLiteral("薬品")});
    press(apparatus, ATSPI_ROLE_PUSH_BUTTON, RightGenerator);
    expectAnnouncement(QStringLiteral("発生装置は正解。残りは捕集方法です"));
    press(apparatus, ATSPI_ROLE_PUSH_BUTTON, WrongCollector);
    expectAnnouncement(QStringLiteral("捕集方法は不正解"));
    pumpEvents(1500);
    press(apparatus, ATSPI_ROLE_PUSH_BUTTON, RightCollector);
    expectAnnouncement(QStringLiteral("捕集方法は正解"));

    const Accessible summary = window(SummaryCaption);
    ASSERT_TRUE(summary);
    expectFrames(summary, {QStringLiteral("気体"), QStringLiteral("薬品"),
                           QStringLiteral("化学反応式"), QStringLiteral("実験装置")});
    // Every record of the bank is the same question, but the equation is the drawn number's.
    const Accessible equation = summary.find(ATSPI_ROLE_IMAGE, QStringLiteral("化学反応式"));
    ASSERT_TRUE(equation);
    EXPECT_TRUE(equation.description().contains(QStringLiteral("→")))
        << "the equation reads as " << equation.description().toStdString();
    press(summary, ATSPI_ROLE_PUSH_BUTTON, QStringLiteral("ヴァポリカ"));

    quiz = window(GasQuizCaption);
    ASSERT_TRUE(quiz);
    expectTheQuestionRead(quiz);
    press(quiz, ATSPI_ROLE_PUSH_BUTTON, QStringLiteral("終了"));
    ASSERT_TRUE(run.finish()) << run.errShown();
    EXPECT_EQ(run.process().exitCode(), 0) << run.errShown();
    for (const char *sign : {"実行時エラー", "runtime error:"})
        EXPECT_FALSE(run.err().contains(sign)) << run.errShown();
}

// --- By ear, with Orca ---------------------------------------------------------------------

// The time of day as Orca's log writes it, so steps and speech can be put side by side.
QString timeOfDay() {
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
           QStringLiteral("000");
}

// The first sentence of a words file of the data.
QString firstSentence(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(no file %1)").arg(path);
    return QString::fromUtf8(file.readAll()).section(QStringLiteral("。"), 0, 0);
}

class ByEar : public PrivateDesktop {
protected:
    void SetUp() override {
        for (const char *tool : {"orca", "speech-dispatcher"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed; tools/install-deps installs it";
        PrivateDesktop::SetUp();
        if (HasFatalFailure())
            return;
        // Whichever question is drawn, its summary shows the oxygen equation and its words.
        for (int q = 2; q <= 20; ++q)
            for (const char *kind : {"gif", "txt"}) {
                const QString from = copy().path(QStringLiteral("反応式/siki(1).%1").arg(kind));
                const QString to =
                    copy().path(QStringLiteral("反応式/siki(%1).%2").arg(q).arg(kind));
                QFile::remove(to);
                ASSERT_TRUE(QFile::copy(from, to));
            }
        // Orca and speech-dispatcher keep their settings, sockets and logs in this run's homes.
        for (const char *dir : {"home", "config/speech-dispatcher"})
            ASSERT_TRUE(QDir().mkpath(work(QString::fromLatin1(dir))));
        QFile conf(work(QStringLiteral("config/speech-dispatcher/speechd.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write("AddModule \"dummy\" \"sd_dummy\" \"\"\nDefaultModule dummy\n");
        conf.close();
        env_.insert(QStringLiteral("HOME"), work(QStringLiteral("home")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), work(QStringLiteral("config")));
        env_.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        env_.insert(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
        env_.insert(QStringLiteral("LC_ALL"), QStringLiteral("ja_JP.UTF-8"));
        startSessionBus();
        if (HasFatalFailure())
            return;

        orca_.setProcessEnvironment(env_);
        orca_.setStandardOutputFile(QProcess::nullDevice());
        orca_.setStandardErrorFile(work(QStringLiteral("orca.err")));
        orca_.start(QStringLiteral("orca"), {QStringLiteral("--debug-file"), log()});
        if (!orcaListens(30000))
            GTEST_SKIP() << "Orca does not run here (it never listened on the accessibility "
                            "bus):\n"
                         << readAll(work(QStringLiteral("orca.err"))).right(2000).toStdString();
    }
    void TearDown() override {
        program_.reset();
        if (orca_.state() != QProcess::NotRunning) {
            orca_.terminate(); // Orca writes out its log as it stops
            if (!orca_.waitForFinished(15000)) {
                orca_.kill();
                orca_.waitForFinished(5000);
            }
        }
        // speech-dispatcher, started by Orca, outlives the session bus.
        const QByteArray pid =
            readAll(work(QStringLiteral("runtime/speech-dispatcher/pid/speech-dispatcher.pid")))
                .trimmed();
        if (!pid.isEmpty())
            ::kill(pid.toInt(), SIGTERM);
        PrivateDesktop::TearDown();
    }

    QString log() const { return work(QStringLiteral("orca.log")); }
    static QByteArray readAll(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether Orca has asked the accessibility registry for window events, which it does once it
    // runs; asked on the accessibility bus itself, read only.
    bool orcaListens(int ms) {
        QElapsedTimer clock;
        clock.start();
        for (int attempt = 0; clock.elapsed() < ms; ++attempt) {
            QDBusMessage ask = QDBusMessage::createMethodCall(
                QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
            ask.setAutoStartService(false);
            const QDBusMessage address =
                QDBusConnection::sessionBus().call(ask, QDBus::Block, 2000);
            if (address.type() == QDBusMessage::ReplyMessage) {
                const QString name = QStringLiteral("a11y-%1").arg(attempt);
                const bool heard = registryHasWindowEvents(
                    QDBusConnection::connectToBus(address.arguments().value(0).toString(), name));
                QDBusConnection::disconnectFromBus(name);
                if (heard)
                    return true;
            }
            QThread::msleep(200);
        }
        return false;
    }
    static bool registryHasWindowEvents(const QDBusConnection &bus) {
        const QDBusMessage reply =
            bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.a11y.atspi.Registry"),
                                                    QStringLiteral("/org/a11y/atspi/registry"),
                                                    QStringLiteral("org.a11y.atspi.Registry"),
                                                    QStringLiteral("GetRegisteredEvents")),
                     QDBus::Block, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage)
            return false;
        const QDBusArgument events = reply.arguments().value(0).value<QDBusArgument>();
        bool window = false;
        events.beginArray();
        while (!events.atEnd()) {
            QString listener, event;
            events.beginStructure();
            events >> listener >> event;
            events.endStructure();
            window = window || event.toLower().startsWith(QStringLiteral("window:activate"));
        }
        events.endArray();
        return window;
    }

    // The program as a pupil's desktop starts it; keys go to the window that holds the keyboard.
    void startProgram() {
        program_.reset();
        program_.emplace(copy().executable(), work(QString()), env_);
    }
    ProgramRun &program() { return *program_; }
    void keys(const QStringList &names, int pauseMs = 800) {
        for (const QString &name : names) {
            program().key(name);
            program().pause(pauseMs);
        }
    }
    void expectWindow(const QString &caption) {
        EXPECT_FALSE(program().window(caption, 15000).isEmpty())
            << "no window " << caption.toStdString() << "\n"
            << program().errShown();
    }
    void expectCleanEnd(const std::string &what) {
        EXPECT_TRUE(program().finish()) << what << ": the program still runs";
        EXPECT_EQ(program().process().exitCode(), 0) << what << "\n" << program().errShown();
    }

    // A step of the journey: what Orca must speak from the moment it begins until the next.
    struct Step {
        QString name;
        QStringList heard;
        std::function<void()> act;
    };
    void walk(const std::vector<Step> &steps) {
        std::vector<QString> begun;
        for (const Step &step : steps) {
            begun.push_back(timeOfDay());
            step.act();
        }
        program_.reset();
        orca_.terminate();
        orca_.waitForFinished(15000);

        // An utterance in the log: its time, then the words, quoted, before the voice's settings.
        static const QRegularExpression spoken(
            QStringLiteral(R"(^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*)'\s*[\[{])"));
        std::vector<std::pair<QString, QString>> utterances;
        for (const QByteArray &line : readAll(log()).split('\n')) {
            const QRegularExpressionMatch match = spoken.match(QString::fromUtf8(line));
            if (match.hasMatch())
                utterances.emplace_back(match.captured(1), match.captured(2));
        }
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const QString ended = i + 1 < steps.size() ? begun[i + 1] : QStringLiteral("99");
            QStringList said;
            for (const auto &[at, words] : utterances)
                if (begun[i] <= at && at < ended)
                    said << words;
            std::cout << "[" << steps[i].name.toStdString() << "]\n";
            for (const QString &words : said)
                std::cout << "  Orca: " << words.toStdString() << "\n";
            const QString heard = said.join(' ');
            for (const QString &words : steps[i].heard)
                EXPECT_TRUE(heard.contains(words))
                    << steps[i].name.toStdString() << ": Orca did not say " << words.toStdString();
        }
    }

private:
    QProcess orca_;
    std::optional<ProgramRun> program_;
};

constexpr int OrcaStarts = 4; // start-ups whose menu must be spoken

TEST_F(ByEar, AWholeQuestionThePropertiesAndTheKippPanel) {
    std::vector<Step> steps;
    // The menu and its focused button are spoken at every start; each but the last is quit by
    // the keyboard, and the last goes on to the question.
    for (int start = 1; start <= OrcaStarts; ++start)
        steps.push_back(
            {QStringLiteral("start-up %1").arg(start),
             {MenuCaption, QStringLiteral("ヴァポリカ プッシュボタン")},
             [this, start] {
                 startProgram();
                 expectWindow(MenuCaption);
                 program().pause(1500);
                 if (start == OrcaStarts)
                     return;
                 keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")});
                 expectCleanEnd("start-up " + std::to_string(start));
             }});
    const QString setUpWords = firstSentence(copy().path(QStringLiteral("装置/souti(101).txt")));
    // From the browser's first button (back), two Tabs reach the last gas of its column.
    const QString lastGasPage = firstSentence(copy().path(QStringLiteral("性質/seisitu(14).txt")));
    const std::vector<Step> journey = {
        {QStringLiteral("the gas quiz"),
         {QStringLiteral("問題:"), Reagents[0], Reagents[1],
          QStringLiteral("発生する気体は何ですか"), QStringLiteral("酸素 プッシュボタン")},
         [this] {
             keys({QStringLiteral("Return")}, 0);
             expectWindow(GasQuizCaption);
             program().pause(2000);
         }},
        // Orca's "where am I" (the keypad's Enter) says the question again with the focused gas.
        {QStringLiteral("the question again"),
         {QStringLiteral("酸素 プッシュボタン 問題: ") + Reagents.join(QStringLiteral("と"))},
         [this] { keys({QStringLiteral("KP_Enter")}, 2500); }},
        {QStringLiteral("a wrong gas"),
         {QStringLiteral("水素 プッシュボタン"), QStringLiteral("不正解")},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Return")}, 1500);
         }},
        // The next screen comes about a second after the right answer.
        {QStringLiteral("the right gas"),
         {QStringLiteral("酸素 プッシュボタン"), QStringLiteral("正解")},
         [this] {
             keys({QStringLiteral("shift+Tab"), QStringLiteral("Return")}, 600);
         }},
        {QStringLiteral("the apparatus quiz"),
         {QStringLiteral("気体: 酸素"),
          QStringLiteral("薬品: ") + Reagents.join(QStringLiteral("と")),
          QStringLiteral("発生装置と捕集方法")},
         [this] {
             expectWindow(ApparatusCaption);
             program().pause(2000);
         }},
        // The first choice, and Orca's "where am I" on it: the question with the choice's name.
        {QStringLiteral("the apparatus question again"),
         {QStringLiteral("気体: 酸素。薬品: ") + Reagents.join(QStringLiteral("と"))},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("KP_Enter")}, 2500);
         }},
        {QStringLiteral("the right generator"),
         {RightGenerator, QStringLiteral("発生装置は正解。残りは捕集方法です")},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")});
         }},
        {QStringLiteral("the generator again"),
         {QStringLiteral("発生装置はもう正解です")},
         [this] { keys({QStringLiteral("Return")}, 1500); }},
        {QStringLiteral("a wrong collector"),
         {WrongCollector, QStringLiteral("捕集方法は不正解")},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}, 1500);
         }},
        {QStringLiteral("the right collector"),
         {RightCollector, QStringLiteral("捕集方法は正解")},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}, 600);
         }},
        // The set-up is said in the words of its own words file (question 1's picture, 101).
        {QStringLiteral("the summary"),
         {SummaryCaption, QStringLiteral("気体: 酸素"),
          QStringLiteral("化学反応式: 2KClO3 → 2KCl + 3O2"), QStringLiteral("理由："),
          QStringLiteral("実験装置: ") + setUpWords},
         [this] {
             expectWindow(SummaryCaption);
             program().pause(2500);
         }},
        // From the summary's first button (quit), two Tabs reach the properties button.
        {QStringLiteral("the properties browser"),
         {PropertiesCaption, lastGasPage},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}, 0);
             expectWindow(PropertiesCaption);
             program().pause(1500);
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")}, 2000);
         }},
        {QStringLiteral("the Kipp panel"),
         {QStringLiteral("キップの装置。加熱を必要としない"),
          QStringLiteral("コックは閉じています"), QStringLiteral("コックを開く プッシュボタン")},
         [this] {
             keys({QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"),
                   QStringLiteral("Return")},
                  0);
             expectWindow(MenuCaption);
             program().pause(1500);
             keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                   QStringLiteral("Return")},
                  2000);
         }},
        {QStringLiteral("the stopcock"),
         {QStringLiteral("コックを開きました")},
         [this] { keys({QStringLiteral("Return")}, 1500); }},
        // Closed again, and the program quit from the menu.
        {QStringLiteral("the end"),
         {},
         [this] {
             keys({QStringLiteral("Tab"), QStringLiteral("Return"), QStringLiteral("shift+Tab"),
                   QStringLiteral("Return")},
                  500);
             expectCleanEnd("the end");
         }},
    };
    steps.insert(steps.end(), journey.begin(), journey.end());
    walk(steps);
}

} // namespace
