// The program in a real window at 1, 1.5 and 2 device pixels per layout pixel, as on a projector
// or a laptop set to 150 or 200 %: a whole question, menu to summary, looking at what the pupil
// sees on each screen. The layout artwork must be the SVG drawn at the screen's own size, and no
// picture, artwork or picture file, may be blown up by repeating its pixels.
//
// The teaching pictures are drawn from their files at twice the size at 2, pixel for pixel.
//
// Set VAPORICA_SCREENSHOT_DIR to keep each screen's picture there as <screen>-<scale>.png.

#include "DataCopy.h"
#include "ProgramRun.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>

namespace {

using namespace vaporica::e2e;

struct Scale {
    const char *name;
    double factor;
    int period; // device pixels in which a blown-up picture repeats its pattern
};

void PrintTo(const Scale &scale, std::ostream *os) {
    *os << scale.name;
}

// Where the colour changes between neighbouring device pixels, counted by position modulo the
// period: a picture blown up by repeating its pixels changes colour only where one repeated block
// meets the next, so one remainder gets almost none of the changes. A picture drawn at the
// device's size spreads them over all remainders. Returns the smallest share, over both
// directions and all remainders, and how many changes it saw.
struct PhaseShares {
    double least = 0;
    int changes = 0;
};

PhaseShares leastPhaseShare(const QImage &image, const QRect &region, int period) {
    PhaseShares result{1.0, INT_MAX};
    for (const bool across : {true, false}) {
        std::array<int, 3> counts{};
        int total = 0;
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x) {
                const QPoint next = across ? QPoint(x + 1, y) : QPoint(x, y + 1);
                if (!region.contains(next) || image.pixel(x, y) == image.pixel(next))
                    continue;
                ++counts[(across ? next.x() : next.y()) % period];
                ++total;
            }
        result.changes = std::min(result.changes, total);
        for (int phase = 0; phase < period && total > 0; ++phase)
            result.least = std::min(result.least, double(counts[phase]) / total);
    }
    return result;
}

// The largest difference of one colour channel between two equally sized pictures.
int largestDifference(const QImage &a, const QImage &b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// Where every opaque pixel of `picture` stands unchanged in `window`, or nothing: a picture file
// drawn as it is, whatever the layout places around it.
std::optional<QPoint> placeOf(const QImage &window, const QImage &picture) {
    QList<QPoint> opaque;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) == 255)
                opaque.append(QPoint(x, y));
    if (opaque.isEmpty())
        return std::nullopt;
    // A few pixels spread over the picture rule out most places before all are compared.
    QList<QPoint> probes;
    for (int k = 0; k < 24; ++k)
        probes.append(opaque[qsizetype(k) * (opaque.size() - 1) / 23]);
    const auto matches = [&](QPoint at, const QList<QPoint> &pixels) {
        return std::all_of(pixels.begin(), pixels.end(), [&](QPoint p) {
            return (window.pixel(at + p) & 0xffffff) == (picture.pixel(p) & 0xffffff);
        });
    };
    for (int y = 0; y + picture.height() <= window.height(); ++y)
        for (int x = 0; x + picture.width() <= window.width(); ++x)
            if (matches({x, y}, probes) && matches({x, y}, opaque))
                return QPoint(x, y);
    return std::nullopt;
}

// A piece of the artwork, rendered here from its source as the program must render it, on the
// ground it is shown on.
QImage svgAt(const char *source, double factor, const QColor &ground) {
    QSvgRenderer renderer(QStringLiteral(VAPORICA_SOURCE_DIR "/") + QString::fromLatin1(source));
    const QSize size = (QSizeF(renderer.defaultSize()) * factor).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// A region of a window, in layout pixels, and what must be true of it.
struct Look {
    const char *what;
    QRect place;               // in the window's layout pixels
    const char *svg;           // the artwork drawn there unscaled, or nothing
    QPoint svgAtWindowPoint;   // where the artwork's top-left lies in the window
    QColor ground = Qt::white; // what shows through the artwork where it is transparent
};

class SharpAtScale : public testing::TestWithParam<Scale> {
protected:
    QPoint scaled(QPoint at) const { return (QPointF(at) * GetParam().factor).toPoint(); }
    // The window's pixels as the X server holds them, kept when asked for.
    QImage windowPixels(ProgramRun &run, const QString &window, const char *screen) {
        const QImage image = run.pixels(window);
        const QString keep = qEnvironmentVariable("VAPORICA_SCREENSHOT_DIR");
        if (!keep.isEmpty() && !image.isNull())
            image.save(QStringLiteral("%1/%2-%3.png")
                           .arg(keep, QLatin1String(screen), QLatin1String(GetParam().name)));
        return image;
    }
    // At 1 and 2 a teaching picture is its file (name@2x.gif at 2), every opaque pixel of it.
    void checkPictureFile(const QImage &window, const DataCopy &copy, const QString &file) {
        SCOPED_TRACE(file.toStdString());
        const Scale scale = GetParam();
        if (scale.factor != 1.0 && scale.factor != 2.0)
            return;
        const QString path = copy.path(scale.factor == 2.0 ? file + QStringLiteral("@2x.gif")
                                                           : file + QStringLiteral(".gif"));
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << path.toStdString();
        EXPECT_TRUE(placeOf(window, picture.convertToFormat(QImage::Format_ARGB32)))
            << "not on the screen pixel for pixel at " << scale.name;
    }

    void check(const QImage &window, const Look &look) {
        SCOPED_TRACE(look.what);
        const Scale scale = GetParam();
        const QRect device(scaled(look.place.topLeft()),
                           scaled(look.place.bottomRight() + QPoint(1, 1)) - QPoint(1, 1));
        ASSERT_TRUE(window.rect().contains(device))
            << "window " << window.width() << " x " << window.height();
        if (look.svg) {
            // At every scale the artwork is its SVG at the device's size, pixel for pixel (a
            // level or two apart where text is smoothed).
            const QImage art = svgAt(look.svg, scale.factor, look.ground);
            const QPoint from = scaled(look.place.topLeft() - look.svgAtWindowPoint);
            EXPECT_LE(largestDifference(window.copy(device), art.copy(QRect(from, device.size()))),
                      2)
                << "not the SVG drawn at " << scale.name;
        }
        if (scale.factor == 1.0)
            return;
        const PhaseShares shares = leastPhaseShare(window, device, scale.period);
        EXPECT_GE(shares.changes, 100) << "too few edges to judge";
        EXPECT_GE(shares.least, 0.5 / scale.period)
            << "blocky: " << shares.least * 100 << " % of the colour changes at one remainder of "
            << scale.period;
    }

    QTemporaryDir work_{QStringLiteral(VAPORICA_WORK_DIR "/scaled-XXXXXX")};
};

TEST_P(SharpAtScale, AWholeQuestionIsDrawnSharp) {
    ASSERT_TRUE(work_.isValid());
    DataCopy copy(work_.filePath(QStringLiteral("copy")));
    everyRecord(OxygenRecord)(copy);
    // Whichever question is drawn, its summary shows the oxygen equation too.
    for (int q = 2; q <= 20; ++q)
        for (const char *kind : {".gif", ".txt", "@2x.gif"})
            copy.write(QStringLiteral("反応式/siki(%1)%2").arg(q).arg(QLatin1String(kind)),
                       copy.read(QStringLiteral("反応式/siki(1)%1").arg(QLatin1String(kind))));
    // Room for the largest window at twice its size.
    XServer server(work_.path(), QSize(1800, 1300));
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    ProgramRun run(copy.executable(), work_.path(), server.environment(GetParam().factor));
    ASSERT_TRUE(run.started());
    const auto away = [&] {
        // The pointer off every window, so no hover border shows in a picture.
        run.xdotool({QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
        run.pause(300);
    };

    const QString menu = run.window(QStringLiteral("メニュー"));
    ASSERT_FALSE(menu.isEmpty()) << run.err().toStdString();
    away();
    const QImage menuPixels = windowPixels(run, menu, "menu");
    check(menuPixels, {"the title tiles on the menu's ground",
                       {340, 20, 280, 155},
                       "art/menu/background.svg",
                       {}});
    check(menuPixels, {"the quiz button's picture",
                       {462, 226, 157, 36},
                       "art/menu/button-quiz.svg",
                       controlPlace(ScreenId::Menu, "Command1").topLeft()});

    run.key(QStringLiteral("Return"));
    const QString quiz = run.window(GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty()) << run.err().toStdString();
    away();
    const QImage quizPixels = windowPixels(run, quiz, "gasquiz");
    check(quizPixels, {"the red title plate", {30, 6, 396, 92}, "art/gasquiz/background.svg", {}});
    check(quizPixels,
          {"the quit button's picture", {453, 30, 96, 24}, "art/common/nav-quit.svg", {451, 26}});
    check(quizPixels, {"the oxygen button's picture file", {612, 28, 108, 22}, nullptr, {}});

    run.click(quiz, scaled(QuizWrongGas));
    away();
    const QImage wrongPixels = windowPixels(run, quiz, "gasquiz-wrong");
    check(wrongPixels, {"the cross of a wrong answer", {226, 257, 151, 147}, nullptr, {}});
    run.pause(Period);

    run.click(quiz, scaled(QuizRightGas));
    const QString apparatus = run.window(ApparatusCaption);
    ASSERT_FALSE(apparatus.isEmpty()) << run.err().toStdString();
    away();
    const QImage apparatusPixels = windowPixels(run, apparatus, "apparatus");
    check(apparatusPixels, {"the third generator",
                            {370, 179, 130, 136},
                            "material/apparatus/generator3.svg",
                            controlPlace(ScreenId::ApparatusQuiz, "Image1",
                                         recordNumber(OxygenRecord, GeneratorNumber))
                                .topLeft(),
                            QColor(0xC0, 0xFF, 0xFF)}); // the frame's light cyan
    check(apparatusPixels, {"the gas's picture file", {74, 24, 112, 32}, nullptr, {}});

    run.click(apparatus, scaled(RightGenerator));
    run.pause(Period);
    run.click(apparatus, scaled(RightCollector));
    const QString summary = run.window(QStringLiteral("まとめ"));
    ASSERT_FALSE(summary.isEmpty()) << run.err().toStdString();
    away();
    const QImage summaryPixels = windowPixels(run, summary, "summary");
    check(summaryPixels, {"the equation's picture file", {119, 118, 300, 60}, nullptr, {}});
    checkPictureFile(summaryPixels, copy, QStringLiteral("反応式/siki(1)"));
    checkPictureFile(summaryPixels, copy, QStringLiteral("装置/souti(101)"));
    check(summaryPixels, {"the next-question button's picture",
                          {395, 495, 130, 24},
                          "art/summary/button-next.svg",
                          {393, 491}});

    run.click(summary, scaled(SummaryQuit));
    ASSERT_TRUE(run.finish()) << "did not quit: " << run.err().toStdString();
    EXPECT_EQ(run.process().exitCode(), 0) << run.err().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scales, SharpAtScale,
                         testing::Values(Scale{"1x", 1.0, 1}, Scale{"1_5x", 1.5, 3},
                                         Scale{"2x", 2.0, 2}),
                         [](const testing::TestParamInfo<Scale> &info) { return info.param.name; });

} // namespace
