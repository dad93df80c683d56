// The keyboard's focus as a pupil sees it in real windows at 1 and 2 device pixels per layout
// pixel: the ring round the focused control, measured on a red picture button (the menu's quiz
// button), a blue gas button and an answering apparatus picture; and the Kipp panel, which keeps
// every key from the buttons it covers.

#include "Contrast.h"
#include "DataCopy.h"
#include "ProgramRun.h"

#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

namespace {

using namespace vaporica::e2e;
using vaporica::test::contrast;

struct Scale {
    const char *name;
    int factor;
};

void PrintTo(const Scale &scale, std::ostream *os) {
    *os << scale.name;
}

// The ring seen on one side of a control: walking outward from the control's edge, how many
// device pixels are white, then how many black, and how each band stands against what it
// borders (the control's edge inside, the ground outside).
struct Side {
    int white = 0, black = 0;
    double whiteAgainstControl = 0, blackAgainstGround = 0;
};

Side walkOut(const QImage &image, QPoint edge, QPoint outward) {
    Side side;
    const QRgb control = image.pixel(edge);
    QPoint at = edge + outward;
    for (; image.valid(at) && image.pixel(at) == qRgb(255, 255, 255); at += outward)
        ++side.white;
    for (; image.valid(at) && image.pixel(at) == qRgb(0, 0, 0); at += outward)
        ++side.black;
    if (image.valid(at)) {
        side.whiteAgainstControl = contrast(qRgb(255, 255, 255), control);
        side.blackAgainstGround = contrast(qRgb(0, 0, 0), image.pixel(at));
    }
    return side;
}

class FocusAtScale : public testing::TestWithParam<Scale> {
protected:
    int s() const { return GetParam().factor; }

    // The ring round the control at `place` (layout pixels, as its layout table has it): its
    // top and left sides, each two layout pixels of white and two of black, clear of the
    // control, whose own pixels are those it shows without the focus.
    void expectRing(const char *what, const QImage &focused, const QImage &unfocused,
                    const QRect &place) {
        SCOPED_TRACE(what);
        const QPoint corner = place.topLeft() * s();
        const QRect control(corner, place.size() * s());
        ASSERT_TRUE(focused.rect().contains(control) && focused.size() == unfocused.size());
        int changed = 0;
        for (int y = control.top(); y <= control.bottom(); ++y)
            for (int x = control.left(); x <= control.right(); ++x)
                changed += focused.pixel(x, y) != unfocused.pixel(x, y);
        EXPECT_EQ(changed, 0) << "the ring lies on the control";
        const Side top = walkOut(focused, corner + QPoint(10 * s(), 0), {0, -1});
        const Side left = walkOut(focused, corner + QPoint(0, 10 * s()), {-1, 0});
        for (const Side &side : {top, left}) {
            EXPECT_EQ(side.white, 2 * s());
            EXPECT_EQ(side.black, 2 * s());
            // Whatever the face and the ground, one band stands out against its neighbour at
            // least as much as the guidelines ask of a focus mark (3:1), and the two bands
            // against each other at 21:1.
            EXPECT_GE(std::max(side.whiteAgainstControl, side.blackAgainstGround), 3.0);
        }
        std::cout << "  focus ring, " << what << " at " << GetParam().name << ": white "
                  << top.white << "+" << left.white << " px, black " << top.black << "+"
                  << left.black << " px (top+left), contrast white/control "
                  << top.whiteAgainstControl << ", black/ground " << top.blackAgainstGround << "\n";
    }

    QTemporaryDir work_{QStringLiteral(VAPORICA_WORK_DIR "/focus-XXXXXX")};
};

TEST_P(FocusAtScale, TheRingIsWideAndStandsOutAndTheKippPanelKeepsTheKeys) {
    ASSERT_TRUE(work_.isValid());
    DataCopy copy(work_.filePath(QStringLiteral("copy")));
    everyRecord(OxygenRecord)(copy);
    XServer server(work_.path(), QSize(1800, 1300));
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    ProgramRun run(copy.executable(), work_.path(), server.environment(GetParam().factor));
    ASSERT_TRUE(run.started());
    const auto away = [&] {
        run.xdotool({QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
        run.pause(300);
    };
    const auto press = [&](const QString &key) {
        run.key(key);
        run.pause(250);
    };

    // The menu opens with the focus on the quiz button: red, its picture filling the face.
    const QString menu = run.window(QStringLiteral("メニュー"));
    ASSERT_FALSE(menu.isEmpty()) << run.err().toStdString();
    away();
    const QImage quizFocused = run.pixels(menu);
    press(QStringLiteral("shift+Tab"));
    const QImage quizUnfocused = run.pixels(menu);
    expectRing("the red quiz button", quizFocused, quizUnfocused,
               controlPlace(ScreenId::Menu, "Command1"));

    // The Kipp panel, opened from the keyboard, has it: whatever is pressed, the quiz, the
    // properties and the end it covers never come, and the panel stays.
    press(QStringLiteral("Return")); // the focus was on the panel's button
    // A point of the quit button that the panel's own ground covers.
    const QPoint covered = QPoint(600, 380) * s();
    const QRgb panel = qRgb(255, 224, 192);
    ASSERT_EQ(run.pixels(menu).pixel(covered), panel) << "the panel did not open";
    // Each Enter, keypad Enter or space turns the stopcock; each Tab moves between the panel's
    // two buttons and ends on the stopcock's.
    for (const char *key : {"Return", "Tab", "Tab", "KP_Enter", "shift+Tab", "shift+Tab", "space",
                            "Tab", "Tab", "Return"})
        press(QString::fromLatin1(key));
    EXPECT_TRUE(run.running());
    EXPECT_TRUE(run.window(GasQuizCaption, 300).isEmpty()) << "a key reached the quiz button";
    EXPECT_TRUE(run.window(QStringLiteral("気体の性質"), 300).isEmpty())
        << "a key reached the properties button";
    EXPECT_EQ(run.pixels(menu).pixel(covered), panel);

    // Closed from its back button (the panel's second), the menu's own buttons come back in
    // turn: the panel's button, then the quiz.
    press(QStringLiteral("Tab"));
    press(QStringLiteral("Return"));
    EXPECT_NE(run.pixels(menu).pixel(covered), panel) << "the panel did not close";
    press(QStringLiteral("Tab"));
    press(QStringLiteral("Return"));

    // The gas quiz opens with the focus on the oxygen button: blue.
    const QString quiz = run.window(GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty()) << run.err().toStdString();
    away();
    const QImage gasFocused = run.pixels(quiz);
    press(QStringLiteral("shift+Tab"));
    const QImage gasUnfocused = run.pixels(quiz);
    expectRing("the blue oxygen button", gasFocused, gasUnfocused,
               controlPlace(ScreenId::GasQuiz, "Command1", recordNumber(OxygenRecord, GasNumber)));
    press(QStringLiteral("Tab"));
    press(QStringLiteral("Return"));

    // The apparatus quiz: the first generator picture, an answer taken by the keyboard.
    const QString apparatus = run.window(ApparatusCaption);
    ASSERT_FALSE(apparatus.isEmpty()) << run.err().toStdString();
    away();
    const QImage pictureUnfocused = run.pixels(apparatus);
    press(QStringLiteral("Tab"));
    const QImage pictureFocused = run.pixels(apparatus);
    // Its box's top-left part: the picture within it need not fill the box.
    const QRect generator = controlPlace(ScreenId::ApparatusQuiz, "Image1", 1);
    expectRing("the first generator picture", pictureFocused, pictureUnfocused,
               QRect(generator.topLeft(), QSize(40, 40)));

    press(QStringLiteral("shift+Tab"));
    press(QStringLiteral("Return")); // the quit button
    ASSERT_TRUE(run.finish()) << "did not quit: " << run.err().toStdString();
    EXPECT_EQ(run.process().exitCode(), 0) << run.err().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scales, FocusAtScale, testing::Values(Scale{"1x", 1}, Scale{"2x", 2}),
                         [](const testing::TestParamInfo<Scale> &info) { return info.param.name; });

} // namespace
