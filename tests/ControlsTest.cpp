#include "widgets/Controls.h"
#include "widgets/Form.h"

#include "TestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

namespace vaporica::test {
namespace {

// A window 200 x 120 pixels that counts the pointer moves reaching its own handler.
class CountingForm : public Form {
public:
    CountingForm() : Form(QStringLiteral("試験"), 3000, 1800) {}
    int moves = 0;

protected:
    void Form_MouseMove() override { ++moves; }
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override { resetNavigation(); }
    void TearDown() override { resetNavigation(); }

    void showAndWait(Form &form) {
        form.showCentred();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    // Where a pixel of the window ends up on screen, as the pupil would see it.
    static QColor seen(QWidget &form, QPoint at) { return form.grab().toImage().pixelColor(at); }
    static QImage filled(QSize size, QColor colour) {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(colour);
        return picture;
    }
};

TEST_F(Controls, APointerMoveReachesOnlyTheControlUnderThePointer) {
    CountingForm form;
    int buttonMoves = 0, frameMoves = 0;
    auto *image = new ImageBox(&form, {150, 150, 600, 600});
    image->setPicture(filled({40, 40}, Qt::green));
    auto *plainButton = new GraphicalButton(&form, {900, 150, 600, 600}, PaleYellow);
    auto *hoverButton = new GraphicalButton(&form, {1650, 150, 600, 600}, PaleYellow);
    hoverButton->onMouseMove = [&] { ++buttonMoves; };
    auto *label = new Label(&form, {2400, 150, 450, 300}, PaleYellow, 0, QFont());
    label->setCaption(QStringLiteral("名"));
    auto *quietFrame = new Frame(&form, {150, 900, 1200, 750}, QString(), 0x00C0C0FF, 0, QFont());
    auto *imageInFrame = new ImageBox(quietFrame, {150, 150, 300, 300});
    imageInFrame->setPicture(filled({20, 20}, Qt::blue));
    auto *listeningFrame =
        new Frame(&form, {1500, 900, 1200, 750}, QString(), 0x00C0C0FF, 0, QFont());
    listeningFrame->onMouseMove = [&] { ++frameMoves; };
    auto *imageInListeningFrame = new ImageBox(listeningFrame, {150, 150, 300, 300});
    imageInListeningFrame->setPicture(filled({20, 20}, Qt::blue));
    showAndWait(form);

    struct Row {
        const char *over;
        QWidget *widget;
        QPoint at; // inside the widget
        int formMoves, buttonMoves, frameMoves;
    };
    const std::vector<Row> rows = {
        {"bare window", &form, {195, 5}, 1, 0, 0},
        {"image box without a handler", image, {10, 10}, 0, 0, 0},
        {"button without a handler", plainButton, {20, 20}, 0, 0, 0},
        {"button with a handler", hoverButton, {20, 20}, 0, 1, 0},
        {"label", label, label->rect().center(), 0, 0, 0},
        {"frame without a handler", quietFrame, {70, 5}, 0, 0, 0},
        {"image inside a frame without a handler", imageInFrame, {10, 10}, 0, 0, 0},
        {"frame with a handler", listeningFrame, {70, 5}, 0, 0, 1},
        {"image inside a frame with a handler", imageInListeningFrame, {10, 10}, 0, 0, 0},
        {"bare window again", &form, {100, 118}, 1, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.over);
        form.moves = buttonMoves = frameMoves = 0;
        ASSERT_EQ(form.childAt(row.widget->mapTo(&form, row.at)),
                  row.widget == &form ? nullptr : row.widget);
        QTest::mouseMove(row.widget, row.at);
        EXPECT_EQ(form.moves, row.formMoves);
        EXPECT_EQ(buttonMoves, row.buttonMoves);
        EXPECT_EQ(frameMoves, row.frameMoves);
    }
}

TEST_F(Controls, EnterKeypadEnterAndSpacePressTheFocusedButtonOnly) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto *first = new GraphicalButton(&form, {150, 150, 900, 450}, PaleYellow);
    auto *second = new GraphicalButton(&form, {1200, 150, 900, 450}, PaleYellow);
    int firstClicks = 0, secondClicks = 0;
    first->onClick = [&] { ++firstClicks; };
    second->onClick = [&] { ++secondClicks; };
    form.setTabOrder({first, second});
    showAndWait(form);
    ASSERT_EQ(form.focusWidget(), first);

    struct Row {
        Qt::Key key;
        int first, second;
    };
    for (const Row row : {Row{Qt::Key_Return, 1, 0}, Row{Qt::Key_Enter, 2, 0},
                          Row{Qt::Key_Space, 3, 0}, Row{Qt::Key_A, 3, 0}}) {
        SCOPED_TRACE(row.key);
        QTest::keyClick(form.windowHandle(), row.key);
        EXPECT_EQ(firstClicks, row.first);
        EXPECT_EQ(secondClicks, row.second);
    }
    QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
    ASSERT_EQ(form.focusWidget(), second);
    QTest::keyClick(form.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(std::pair(firstClicks, secondClicks), std::pair(3, 1));
}

TEST_F(Controls, TheFirstVisibleButtonInTabOrderTakesTheFocusAndTabFollowsTheOrder) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    // Created in another order than the tab order, so that creation order cannot pass for it.
    auto *c = new GraphicalButton(&form, {150, 900, 600, 450}, PaleYellow);
    auto *a = new GraphicalButton(&form, {150, 150, 600, 450}, PaleYellow);
    auto *hidden = new GraphicalButton(&form, {900, 150, 600, 450}, PaleYellow);
    auto *b = new GraphicalButton(&form, {1650, 150, 600, 450}, PaleYellow);
    hidden->hide();
    form.setTabOrder({hidden, a, b, c});
    showAndWait(form);
    EXPECT_EQ(form.focusWidget(), a);
    std::vector<QWidget *> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
        visited.push_back(form.focusWidget());
    }
    EXPECT_EQ(visited, (std::vector<QWidget *>{b, c, a, b}));
}

TEST_F(Controls, AButtonCentresAndClipsItsPictureAndSinksWhilePressed) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto *button = new GraphicalButton(&form, {0, 0, 600, 300}, 0x00FF0000); // 40 x 20, blue face
    button->setPicture(filled({100, 10}, Qt::red), QStringLiteral("赤"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("赤"));
    EXPECT_TRUE(button->text().isEmpty());
    showAndWait(form);
    form.setFocus();                                  // no focus mark in the pictures below
    EXPECT_EQ(seen(form, {20, 10}), QColor(Qt::red)); // centred: rows 5..14
    EXPECT_EQ(seen(form, {2, 10}), QColor(Qt::red));  // clipped at the face, not at the picture
    EXPECT_EQ(seen(form, {20, 3}), QColor(Qt::blue)); // face above the picture
    EXPECT_EQ(seen(form, {0, 0}), QColor(Qt::white)); // raised edge
    EXPECT_EQ(seen(form, {39, 19}), QColor(Qt::black));
    button->setDown(true);
    EXPECT_EQ(seen(form, {0, 0}), QColor(Qt::black)); // sunk edge
    EXPECT_EQ(seen(form, {39, 19}), QColor(Qt::white));
    button->setDown(false);
}

// The focus ring goes round the focused control, clear of it: the control's own pixels (its
// face, picture, words and border) stay as they were, and around it lie a white band and, outside
// that, a black one, two pixels each, on whatever face or ground. A picture that answers a
// question takes the same ring, and Enter or the space bar clicks it.
TEST_F(Controls, TheFocusRingGoesRoundTheFocusedControlInBlackAndWhite) {
    struct Row {
        const char *what;
        std::function<QWidget *(Form &)> make;
    };
    const std::vector<Row> rows{
        {"a red button",
         [](Form &f) {
             return new GraphicalButton(&f, {600, 300, 900, 450}, 0x000000FF);
         }},
        {"a blue button",
         [](Form &f) {
             return new GraphicalButton(&f, {600, 300, 900, 450}, 0x00FF0000);
         }},
        {"a picture button",
         [](Form &f) {
             auto *b = new GraphicalButton(&f, {600, 300, 900, 450}, 0x00FFFFFF);
             b->setPicture(filled({60, 30}, Qt::black), QStringLiteral("黒"));
             return b;
         }},
        {"a bordered answer picture",
         [](Form &f) {
             auto *box = new ImageBox(&f, {600, 300, 900, 900});
             box->setPicture(filled({60, 60}, Qt::white));
             box->setBorderStyle(1);
             box->makeAnswer();
             return box;
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Form form(QStringLiteral("試験"), 3000, 1800);
        auto *first = new GraphicalButton(&form, {2100, 1200, 600, 300}, 0x00FFFFFF);
        QWidget *control = row.make(form);
        int clicks = 0;
        if (auto *box = qobject_cast<ImageBox *>(control))
            box->onClick = [&] { ++clicks; };
        form.setTabOrder({first, control});
        showAndWait(form);
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_EQ(form.focusWidget(), first);
        const QImage before = form.grab().toImage();
        QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
        ASSERT_EQ(form.focusWidget(), control);
        const QImage after = form.grab().toImage();
        const QRect edge = control->geometry();
        int controlChanged = 0, ringWrong = 0;
        for (int y = edge.top() - 6; y <= edge.bottom() + 6; ++y)
            for (int x = edge.left() - 6; x <= edge.right() + 6; ++x) {
                const QPoint at(x, y);
                // How far outside the control's edge (0 inside it).
                const int out = std::max(
                    {edge.left() - x, x - edge.right(), edge.top() - y, y - edge.bottom(), 0});
                if (out == 0)
                    controlChanged += after.pixel(at) != before.pixel(at);
                else if (out <= 2)
                    ringWrong += after.pixelColor(at) != QColor(Qt::white);
                else if (out <= 4)
                    ringWrong += after.pixelColor(at) != QColor(Qt::black);
                else
                    ringWrong += after.pixel(at) != before.pixel(at);
            }
        EXPECT_EQ(controlChanged, 0);
        EXPECT_EQ(ringWrong, 0);

        // The ring leaves with the focus.
        QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
        ASSERT_EQ(form.focusWidget(), first);
        EXPECT_EQ(form.grab().toImage().pixel(edge.topLeft() - QPoint(3, 3)),
                  before.pixel(edge.topLeft() - QPoint(3, 3)));
        if (qobject_cast<ImageBox *>(control) != nullptr) {
            QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A})
                QTest::keyClick(form.windowHandle(), key);
            EXPECT_EQ(clicks, 3);
        }
    }
}

TEST_F(Controls, AnImageBoxTakesItsPicturesSizeUnlessStretchedAndShowsTheGroundThroughGaps) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto *box = new ImageBox(&form, {300, 150, 1500, 1500});
    auto *stretched = new ImageBox(&form, {1800, 150, 600, 600}, true);
    QImage holed = filled({30, 20}, Qt::blue);
    for (int y = 0; y < 20; ++y)
        holed.setPixelColor(0, y, Qt::transparent);
    box->setPicture(holed);
    stretched->setPicture(filled({10, 10}, Qt::green));
    EXPECT_EQ(box->geometry(), QRect(20, 10, 30, 20));
    EXPECT_EQ(stretched->geometry(), QRect(120, 10, 40, 40));
    box->setPicture(filled({12, 8}, Qt::blue));
    EXPECT_EQ(box->geometry(), QRect(20, 10, 12, 8)); // top-left stays
    box->setPicture(holed);
    showAndWait(form);
    EXPECT_EQ(seen(form, {20, 15}), bgr(PaleYellow)); // transparent column
    EXPECT_EQ(seen(form, {21, 15}), QColor(Qt::blue));
    EXPECT_EQ(seen(form, {159, 49}), QColor(Qt::green));
    box->setBorderStyle(1);
    EXPECT_EQ(seen(form, {35, 10}), QColor(Qt::black));
    box->setBorderStyle(0);
    EXPECT_EQ(seen(form, {35, 10}), QColor(Qt::blue));
}

TEST_F(Controls, AFrameClipsItsChildrenAndDrawsItsCaptionAndGround) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto *frame = new Frame(&form, {300, 300, 1500, 900}, QStringLiteral("枠"), 0x00C0E0FF,
                            0x000000FF, minchoFont(QStringLiteral("ＭＳ Ｐ明朝"), 12, true));
    auto *child = new ImageBox(frame, {900, 300, 1500, 300}); // reaches 40 px past the edge
    child->setPicture(filled({100, 20}, Qt::blue));
    showAndWait(form);
    EXPECT_EQ(frame->caption(), QStringLiteral("枠"));
    EXPECT_EQ(seen(form, {20 + 99, 20 + 25}), QColor(Qt::blue));
    EXPECT_EQ(seen(form, {20 + 101, 20 + 25}), bgr(PaleYellow));
    EXPECT_EQ(seen(form, {20 + 30, 20 + 50}), QColor(255, 224, 192));
    int red = 0;
    const QImage shown = form.grab().toImage();
    for (int y = 20; y < 40; ++y)
        for (int x = 28; x < 50; ++x)
            red += shown.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 10) << "the caption in its colour";
}

TEST_F(Controls, ALabelSizesItselfToItsCaptionAndStaysCentred) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto *label = new Label(&form, {300, 300, 1800, 300}, PaleYellow, 0,
                            minchoFont(QStringLiteral("ＭＳ Ｐ明朝"), 12, true));
    const int centre = 20 + 60;
    int lastWidth = 0;
    for (const char *caption : {"水", "二酸化窒素", "塩化水素"}) {
        label->setCaption(QString::fromUtf8(caption));
        const QRect g = label->geometry();
        EXPECT_NE(g.width(), lastWidth) << caption;
        EXPECT_LE(std::abs(g.left() + g.width() / 2 - centre), 1) << caption;
        lastWidth = g.width();
    }
}

TEST_F(Controls, TheWindowIsFixedWithACloseBoxOnlyAndItsIcon) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    EXPECT_EQ(form.size(), QSize(200, 120));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_TRUE(form.windowIcon().availableSizes().contains(QSize(32, 32)));

    const QImage icon = windowIconPicture();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(qAlpha(icon.pixel(x, y)), 255);
            colours.insert(icon.pixel(x, y));
        }
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(colours.size(), 16) << "a glossy bubble, not a flat disc";
    EXPECT_EQ(icon.pixelColor(0, 0), QColor(Qt::black));
}

TEST_F(Controls, TheWindowDrawsItsPictureUnscaledAtTheTopLeftOverItsColour) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    form.setBackgroundPicture(filled({10, 10}, Qt::blue));
    showAndWait(form);
    EXPECT_EQ(seen(form, {9, 9}), QColor(Qt::blue));
    EXPECT_EQ(seen(form, {10, 10}), bgr(PaleYellow));
    EXPECT_EQ(seen(form, {199, 119}), bgr(PaleYellow));
}

TEST_F(Controls, TheWindowIsCentredOnTheDesktopEachTimeItIsShown) {
    Form form(QStringLiteral("試験"), 3000, 1800);
    auto centred = [&form] {
        const QRect area = form.screen()->availableGeometry();
        const QRect outer = form.frameGeometry();
        return std::abs(outer.center().x() - area.center().x()) <= 1 &&
               std::abs(outer.center().y() - area.center().y()) <= 1;
    };
    form.show(); // a plain show centres too
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(centred()) << form.frameGeometry().x() << "," << form.frameGeometry().y();
    form.move(3, 4);
    EXPECT_FALSE(centred());
    form.hide();
    form.showCentred();
    EXPECT_TRUE(centred()) << form.frameGeometry().x() << "," << form.frameGeometry().y();
}

// On a screen smaller than the window (a 640 x 480 projector, a netbook) the title bar, with its
// close box, stays on the screen; only the rest runs off the bottom and right.
TEST_F(Controls, AWindowLargerThanTheScreenKeepsItsTopLeftOnTheScreen) {
    const QRect small(0, 0, 640, 480);
    EXPECT_EQ(centredTopLeft(small, QSize(650, 419)), QPoint(0, 30));
    EXPECT_EQ(centredTopLeft(small, QSize(766, 540)), QPoint(0, 0));
    EXPECT_EQ(centredTopLeft(QRect(100, 50, 640, 480), QSize(800, 600)), QPoint(100, 50));
    EXPECT_EQ(centredTopLeft(QRect(0, 0, 1024, 768), QSize(650, 419)), QPoint(187, 174));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    Form form(QStringLiteral("試験"), (area.width() + 200) * 15, (area.height() + 100) * 15);
    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.frameGeometry().topLeft(), area.topLeft());
}

TEST_F(Controls, MinchoFontsHaveTheirPixelSizeAtTheLayoutsResolutionAndAnIpaFace) {
    struct Row {
        const char *family;
        double points;
        int pixels;
        const char *face;
    };
    for (const Row &row :
         {Row{"ＭＳ Ｐ明朝", 12, 16, "IPAPMincho"}, Row{"ＭＳ Ｐ明朝", 15.75, 21, "IPAPMincho"},
          Row{"ＭＳ 明朝", 20.25, 27, "IPAMincho"}}) {
        SCOPED_TRACE(row.points);
        const QFont font = minchoFont(QString::fromUtf8(row.family), row.points, true);
        EXPECT_EQ(font.pixelSize(), row.pixels);
        EXPECT_TRUE(font.bold());
        const QString resolved = QFontInfo(font).family();
        EXPECT_TRUE(resolved == QLatin1String(row.face) ||
                    resolved.startsWith(QStringLiteral("IPA")))
            << resolved.toStdString();
    }
}

TEST_F(Controls, ATimerRunsWhileItsIntervalIsNotZero) {
    Timer timer(nullptr);
    int ticks = 0;
    timer.onTick = [&] { ++ticks; };
    timer.setInterval(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    timer.setInterval(0);
    const int stoppedAt = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, stoppedAt);
}

} // namespace
} // namespace vaporica::test
