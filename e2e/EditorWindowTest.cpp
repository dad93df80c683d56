// The question editor in a real window of a private X server, driven by mouse and keys as a
// teacher drives it: question 3 becomes carbon dioxide from sodium hydrogen carbonate and dilute
// sulfuric acid, picked from the lists and the pictures; an unbalanced equation shows its error
// beside the equation, a generator for heating its warning beside the generators; both fixed, the
// tables are saved through the folder dialog and read back. Then 「この問題を試す」: the pupils'
// program on a data copy of its own, the question answered through to its summary, which shows
// the changed question's card; both programs closed as a person closes them.
//
// Set VAPORICA_SCREENSHOT_DIR to keep the editor's pictures there as editor-<moment>.png.

#include "DataCopy.h"
#include "ProgramRun.h"

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Last: Xlib's macros would clash with the names in the headers above.
#include "CloseBox.h"
#include "KeyboardLetters.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <signal.h>

namespace {

using namespace vaporica::e2e;

// The editor's caption ends in the folder its tables came from.
const QString EditorCaption = QStringLiteral("ヴァポリカ 問題の編集 — .*");

// Places in the editor's window (no window manager: it stands at the screen's corner).
const QPoint Question3(248, 120);
const QPoint CollectionDownward(470, 290), HeatingGenerator(758, 180), FirstGenerator(498, 180);

// Question 3 as saved: carbon dioxide (gas 11), sodium hydrogen carbonate (17) and dilute
// sulfuric acid (9), generator 1, downward displacement, drawing 2.
const QString Reasons =
    QStringLiteral("固体＋液体・加熱なし→三角フラスコ　水に少し溶け空気より重い→下方置換");
const QString SavedRow = QStringLiteral("3\t二酸化炭素\t炭酸水素ナトリウム\t希硫酸\t1\t下方置換\t"
                                        "2\t2NaHCO3 + H2SO4 -> Na2SO4 + 2H2O + 2CO2\t\t\t") +
                         Reasons + '\t';
const QString TrialRecord = QStringLiteral("11,17,9,1,1");

// The pupils' controls for that record, at their middles: its gas button, generator and
// collection.
const QPoint CarbonDioxideGas =
    controlMiddle(ScreenId::GasQuiz, "Command1", recordNumber(TrialRecord.toLatin1(), GasNumber));
const QPoint TrialGenerator = controlMiddle(ScreenId::ApparatusQuiz, "Image1",
                                            recordNumber(TrialRecord.toLatin1(), GeneratorNumber));
const QPoint TrialCollection = controlMiddle(
    ScreenId::ApparatusQuiz, "Image2", recordNumber(TrialRecord.toLatin1(), CollectionNumber));
// The summary's equation card: the top-left corner of its box.
const QPoint SummaryCard = controlPlace(ScreenId::Summary, "Image3").topLeft();

// The share of pixels of `card` that differ clearly from the window's at the best place within a
// few pixels of `around`: a frame's border or caption moves the box a little.
double cardDifference(const QImage &window, const QImage &card, QPoint around) {
    const QImage c = card.convertToFormat(QImage::Format_RGB32);
    double best = 1.0;
    for (int dy = -8; dy <= 8; ++dy)
        for (int dx = -8; dx <= 8; ++dx) {
            const QPoint at = around + QPoint(dx, dy);
            if (!window.rect().contains(QRect(at, c.size())))
                continue;
            int differing = 0;
            for (int y = 0; y < c.height(); ++y)
                for (int x = 0; x < c.width(); ++x) {
                    const QRgb a = c.pixel(x, y), b = window.pixel(at.x() + x, at.y() + y);
                    differing += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                                     qAbs(qBlue(a) - qBlue(b)) >
                                 90;
                }
            best = std::min(best, double(differing) / (c.width() * c.height()));
        }
    return best;
}

// The colours of the editor's errors and warnings, and the form's column, between the list and
// the preview.
const QColor ErrorColour(0xb0, 0x00, 0x20), WarningColour(0x8a, 0x53, 0x00);
const QRect Form(450, 40, 540, 900);

// Pixels of the form in (nearly) this colour: the words of a finding.
int inForm(const QImage &screen, const QColor &colour) {
    int count = 0;
    const QRect inside = Form & screen.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb p = screen.pixel(x, y);
            count += qAbs(qRed(p) - colour.red()) + qAbs(qGreen(p) - colour.green()) +
                         qAbs(qBlue(p) - colour.blue()) <
                     40;
        }
    return count;
}

// How many columns, first to last, hold a pixel that differs between two looks.
int changedColumns(const QImage &before, const QImage &after) {
    if (before.size() != after.size())
        return before.width();
    int first = before.width(), last = -1;
    for (int y = 0; y < before.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(before.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(after.constScanLine(y));
        for (int x = 0; x < before.width(); ++x)
            if (a[x] != b[x]) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    }
    return last < first ? 0 : last - first + 1;
}

class EditorWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("home/saved"))));
        ASSERT_TRUE(QDir().mkpath(work(QStringLiteral("tmp"))));
        // The editor wants a wider screen than the program's 1024 × 768.
        server_.emplace(work_.path(), QSize(1600, 1000));
        ASSERT_FALSE(server_->display().isEmpty()) << "Xvfb did not start";
        QProcessEnvironment env = server_->environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORMTHEME"), QString());
        // Nothing written outside the case's own folder: the tables saved under its home, the
        // trial's data under its temporary folder.
        env.insert(QStringLiteral("HOME"), work(QStringLiteral("home")));
        env.insert(QStringLiteral("TMPDIR"), work(QStringLiteral("tmp")));
        run_.emplace(QStringLiteral(VAPORICA_EDITOR_EXECUTABLE), work_.path(), env);
        ASSERT_TRUE(run_->started());
        editor_ = run_->window(EditorCaption, 3 * StartTimeoutMs);
        ASSERT_FALSE(editor_.isEmpty()) << "no editor window\n" << run_->errShown();
        run_->pause(2000 * Slowdown); // the list's thumbnails and the first preview drawn
    }
    void TearDown() override {
        if (pupils_ > 0 && QFile::exists(QStringLiteral("/proc/%1").arg(pupils_)))
            ::kill(pupils_, SIGKILL);
    }

    ProgramRun &run() { return *run_; }
    QString work(const QString &relative) const { return work_.filePath(relative); }
    QString display() const { return server_->display(); }

    void act(const QStringList &xdotool) {
        run().xdotool(xdotool);
        run().pause(500 * Slowdown);
    }
    void click(QPoint at) {
        run().click(editor_, at);
        run().pause(500 * Slowdown);
    }
    void keys(const QString &key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            run().key(key);
            run().pause(60 * Slowdown);
        }
        run().pause(400 * Slowdown);
    }
    void type(const QString &text, int delay = 20) {
        ASSERT_TRUE(putLettersOnKeys(display(), text))
            << "no spare keys for " << text.toStdString();
        act({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delay * Slowdown),
             text});
    }
    // The screen once the editor has caught up and `shows` holds, kept where asked (for the
    // guide's screenshots). The editor checks and redraws on every key, so on a loaded machine
    // or under the sanitizer it works through the typing long after xdotool has sent it: caught
    // up means two looks a moment apart differ at most in a column as thin as the text cursor.
    // After the time limit the screen as it is, for the checks to report.
    QImage look(
        const QString &moment,
        const std::function<bool(const QImage &)> &shows = [](const QImage &) { return true; }) {
        QImage screen = run().pixels(QStringLiteral("root"));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 * Slowdown) {
            run().pause(700);
            const QImage later = run().pixels(QStringLiteral("root"));
            const bool caughtUp = changedColumns(screen, later) <= 3;
            screen = later;
            if (caughtUp && shows(screen))
                break;
        }
        if (const QString dir = qEnvironmentVariable("VAPORICA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            EXPECT_TRUE(screen.save(QStringLiteral("%1/editor-%2.png").arg(dir, moment)))
                << moment.toStdString();
        }
        return screen;
    }
    // The trial's data folder, under the editor's temporary folder.
    QString trialData() const {
        QDirIterator it(work(QStringLiteral("tmp")), {QStringLiteral("data")}, QDir::Dirs,
                        QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    }

    QString editor_;
    pid_t pupils_ = 0;

private:
    QTemporaryDir work_{QStringLiteral(VAPORICA_WORK_DIR "/editor-window-XXXXXX")};
    std::optional<XServer> server_;
    std::optional<ProgramRun> run_;
};

QByteArray fileText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(EditorWindow, Question3ChangedCheckedSavedAndTriedThroughToItsSummary) {
    // Changed from the lists and the pictures, by mouse and by keyboard.
    click(Question3);
    keys(QStringLiteral("alt+g"));
    keys(QStringLiteral("Down"), 9); // 二酸化炭素
    keys(QStringLiteral("alt+1"));
    keys(QStringLiteral("Down"), 16); // 炭酸水素ナトリウム
    click(CollectionDownward);
    keys(QStringLiteral("alt+d"));
    keys(QStringLiteral("Down")); // set-up drawing 2
    keys(QStringLiteral("alt+q"));
    keys(QStringLiteral("ctrl+a"));
    type(QStringLiteral("NaHCO3 + H2SO4 -> Na2SO4 + H2O + CO2"));
    const QImage error = look(QStringLiteral("error"), [](const QImage &screen) {
        return inForm(screen, ErrorColour) > 20;
    });
    keys(QStringLiteral("alt+q"));
    keys(QStringLiteral("ctrl+a"));
    type(QStringLiteral("2NaHCO3 + H2SO4 -> Na2SO4 + 2H2O + 2CO2"));
    click(HeatingGenerator); // for these reagents a warning
    const QImage warning = look(QStringLiteral("warning"), [](const QImage &screen) {
        return inForm(screen, WarningColour) > 20;
    });
    click(FirstGenerator);
    keys(QStringLiteral("alt+y"));
    keys(QStringLiteral("ctrl+a"));
    type(Reasons);
    const QImage fixed = look(QStringLiteral("preview"), [&](const QImage &screen) {
        return inForm(screen, ErrorColour) + 20 < inForm(error, ErrorColour) &&
               inForm(screen, WarningColour) + 20 < inForm(warning, WarningColour);
    });
    // The findings' words in the form, in their colours, and gone once fixed (the form's pictures
    // may hold either colour: counted against the fixed form).
    EXPECT_GT(inForm(error, ErrorColour), inForm(fixed, ErrorColour) + 20)
        << "no error shown for the unbalanced equation";
    EXPECT_GT(inForm(warning, WarningColour), inForm(fixed, WarningColour) + 20)
        << "no warning shown for the generator for heating";

    // Saved through the folder dialog, and read back.
    keys(QStringLiteral("ctrl+s"));
    ASSERT_FALSE(run().window(QStringLiteral("表を保存するフォルダー")).isEmpty())
        << "no folder dialog at Ctrl+S\n"
        << run().errShown();
    run().pause(500 * Slowdown); // the dialog's field focused
    type(work(QStringLiteral("home/saved")), 10);
    keys(QStringLiteral("Return"));
    QString saved3;
    run().waitFor([&] {
        for (const QString &line :
             QString::fromUtf8(fileText(work(QStringLiteral("home/saved/questions.tsv"))))
                 .split('\n'))
            if (line.startsWith(QStringLiteral("3\t")))
                saved3 = line;
        return !saved3.isEmpty();
    });
    ASSERT_TRUE(saved3.startsWith(SavedRow))
        << "question 3 saved as: " << saved3.toStdString() << "\n"
        << run().errShown();

    // 「この問題を試す」. Without a window manager the closed dialog leaves no window focused: a
    // click on question 3 gives it back, then its key, F5.
    run().pause(1000 * Slowdown);
    click(Question3);
    keys(QStringLiteral("F5"));
    const QString menu = run().window(MenuCaption, 60000 * Slowdown);
    ASSERT_FALSE(menu.isEmpty()) << "the pupils' program did not start\n" << run().errShown();
    pupils_ = run().xdotool({QStringLiteral("getwindowpid"), menu}).trimmed().toInt();
    const QString data = trialData();
    ASSERT_FALSE(data.isEmpty()) << "no trial data under the editor's temporary folder";
    const QByteArray bank = fileText(data + QStringLiteral("/説明/mondai.txt"));
    for (const QByteArray &record : bank.trimmed().split('\n'))
        ASSERT_EQ(QString::fromUtf8(record.left(record.lastIndexOf(','))), TrialRecord)
            << "the trial bank asks another question:\n"
            << bank.toStdString();

    // The question answered in the pupils' program, right at the first try.
    run().click(menu, MenuQuiz);
    const QString quiz = run().window(GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty()) << "no gas quiz";
    run().click(quiz, CarbonDioxideGas);
    const QString apparatus = run().window(ApparatusCaption);
    ASSERT_FALSE(apparatus.isEmpty()) << "carbon dioxide did not open the apparatus quiz";
    run().click(apparatus, TrialGenerator);
    run().pause(Period * Slowdown);
    run().click(apparatus, TrialCollection);
    const QString summary = run().window(SummaryCaption);
    ASSERT_FALSE(summary.isEmpty()) << "no summary after the right generator and collection";
    run().pause(1500 * Slowdown);

    // The summary shows the trial's card, the changed question's, not the shipped one.
    const QImage shown = run().pixels(summary);
    ASSERT_FALSE(shown.isNull());
    if (const QString dir = qEnvironmentVariable("VAPORICA_SCREENSHOT_DIR"); !dir.isEmpty()) {
        EXPECT_TRUE(shown.save(dir + QStringLiteral("/editor-summary.png")));
    }
    const QImage trialCard(data + QStringLiteral("/反応式/siki(3).gif"));
    const QImage shippedCard(QStringLiteral(VAPORICA_DATA_DIR "/反応式/siki(3).gif"));
    ASSERT_FALSE(trialCard.isNull() || shippedCard.isNull());
    EXPECT_LT(cardDifference(shown, trialCard, SummaryCard), 0.01);
    EXPECT_GT(cardDifference(shown, shippedCard, SummaryCard), 0.05);

    // Closed as a person closes them: the summary's 終了, then the editor's close box; the tables
    // are saved, so the editor asks nothing.
    run().click(summary, SummaryQuit);
    EXPECT_TRUE(run().waitFor([this] {
        return !QFile::exists(QStringLiteral("/proc/%1/exe").arg(pupils_));
    })) << "the pupils' program did not end at 終了";
    ASSERT_TRUE(pressCloseBox(display(), editor_));
    EXPECT_TRUE(run().finish()) << "the editor did not close after saving";
}

} // namespace
