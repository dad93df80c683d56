#include "ApparatusArt.h"
#include "Tables.h"
#include "base/Names.h"
#include "base/RuntimeError.h"
#include "drawing/SvgRender.h"

#include <QColor>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace vaporica {
namespace {

using PictureMaker = std::function<QImage(int)>;

QImage plainSetup(int n) {
    return setupPicture(n);
}

// Share of pixels that are not fully transparent.
double coverage(const QImage &image) {
    qint64 opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) != 0;
    return double(opaque) / (qint64(image.width()) * image.height());
}

void expectTransparentCorners(const QImage &image) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(right, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, bottom)), 0);
    EXPECT_EQ(qAlpha(image.pixel(right, bottom)), 0);
}

struct ChoiceCase {
    const char *name;
    PictureMaker make;
    int number;
    QSize size;
};

void PrintTo(const ChoiceCase &c, std::ostream *os) {
    *os << c.name;
}

class ApparatusChoicePicture : public ::testing::TestWithParam<ChoiceCase> {};

// The quiz lays its choice boxes out for exactly these sizes.
TEST_P(ApparatusChoicePicture, RendersAtItsSizeOnTransparentWithADrawing) {
    const ChoiceCase &c = GetParam();
    const QImage image = c.make(c.number);
    ASSERT_EQ(image.size(), c.size);
    EXPECT_TRUE(image.hasAlphaChannel());
    expectTransparentCorners(image);
    EXPECT_GT(coverage(image), 0.10);
}

INSTANTIATE_TEST_SUITE_P(
    ApparatusArt, ApparatusChoicePicture,
    ::testing::Values(ChoiceCase{"generator1", generatorPicture, 1, {75, 187}},
                      ChoiceCase{"generator2", generatorPicture, 2, {137, 186}},
                      ChoiceCase{"generator3", generatorPicture, 3, {142, 148}},
                      ChoiceCase{"generator4", generatorPicture, 4, {120, 234}},
                      ChoiceCase{"collector1", collectorPicture, 1, {93, 119}},
                      ChoiceCase{"collector2", collectorPicture, 2, {89, 119}},
                      ChoiceCase{"collector3", collectorPicture, 3, {179, 136}}),
    [](const auto &info) { return std::string(info.param.name); });

// Each set-up must fit, uncut, both the summary's apparatus box and the properties browser's.
TEST(ApparatusSetupPicture, EveryOneFitsBothBoxesOnTransparentAndDiffersFromTheOthers) {
    ASSERT_LE(setupPictureSize().width(), 427);
    ASSERT_LE(setupPictureSize().height(), 196);
    QSet<QByteArray> seen;
    for (int n : setupNumbers()) {
        SCOPED_TRACE(n);
        const QImage image = setupPicture(n);
        ASSERT_EQ(image.size(), setupPictureSize());
        expectTransparentCorners(image);
        EXPECT_GT(coverage(image), 0.08);
        const QByteArray pixels(reinterpret_cast<const char *>(image.constBits()),
                                int(image.sizeInBytes()));
        EXPECT_FALSE(seen.contains(pixels)) << "set-up " << n << " repeats another";
        seen.insert(pixels);
    }
}

// Pixels close to a colour, as the gas tint or a reagent is painted.
int pixelsNear(const QImage &image, const QColor &colour, int tolerance = 12) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            n += c.alpha() == 255 && std::abs(c.red() - colour.red()) <= tolerance &&
                 std::abs(c.green() - colour.green()) <= tolerance &&
                 std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

// The reagents, drawn with the looks the shipped reagents' table gives them.
SetupContents holding(int reagent1, int reagent2, std::optional<QColor> gas = std::nullopt,
                      std::optional<QRect> keepClear = std::nullopt) {
    static const QList<material::ReagentRow> reagents =
        material::loadTables(QStringLiteral(VAPORICA_SOURCE_DIR "/material"), setupNumbers())
            .tables.reagents;
    return {reagent1,
            reagent2,
            gas,
            keepClear,
            reagents.value(reagent1 - 1).look,
            reagents.value(reagent2 - 1).look};
}

// Chlorine from manganese dioxide (19) and concentrated hydrochloric acid (20) in set-up 8.
SetupContents chlorine() {
    return holding(19, 20, QColor(200, 230, 40));
}

struct NamingCase {
    const char *what;
    int setup;
    std::optional<SetupContents> contents;
    QStringList names; // the plates' words, lines joined
};

QString joined(const QString &text) {
    return QString(text).remove(QLatin1Char('\n'));
}

// One plate for each place something lies, so no two leader lines meet: a mixture is named once,
// a liquid waiting in the dropping funnel apart from the solid under it, and each washing or
// drying vessel with what it is for. Every plate stands clear of the others inside the picture,
// its leader line ending on the drawing.
TEST(ApparatusSetupContents, EachPlaceIsNamedOnceByAPlatePointingIntoTheDrawing) {
    const NamingCase cases[] = {
        {"chlorine, washed and dried",
         8,
         chlorine(),
         {QStringLiteral("二酸化マンガン"), QStringLiteral("濃塩酸"),
          QStringLiteral("水（HClを除く）"), QStringLiteral("濃硫酸（乾燥）")}},
        {"ammonia dried by soda lime",
         5,
         holding(3, 13),
         {QStringLiteral("塩化アンモニウム＋水酸化カルシウム"),
          QStringLiteral("ソーダ石灰（乾燥）")}},
        {"one reagent heated alone", 4, holding(17, 17), {QStringLiteral("炭酸水素ナトリウム")}},
        {"ethanol let into hot acid",
         9,
         holding(2, 22),
         {QStringLiteral("エタノール"), QStringLiteral("濃硫酸"), QStringLiteral("沸騰石")}},
        {"two liquids heated in a test tube", 6, holding(10, 22), {QStringLiteral("ギ酸＋濃硫酸")}},
        {"a plain set-up names its vessels only",
         8,
         std::nullopt,
         {QStringLiteral("水（HClを除く）"), QStringLiteral("濃硫酸（乾燥）")}},
    };
    const QRect picture(QPoint(0, 0), setupPictureSize());
    for (const NamingCase &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<SetupLabel> labels = setupLabels(c.setup, c.contents);
        const QImage image = setupPicture(c.setup, c.contents);
        QStringList names;
        for (const SetupLabel &label : labels)
            names << joined(label.text);
        QStringList expected = c.names;
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
        for (const SetupLabel &label : labels) {
            SCOPED_TRACE(label.text.toStdString());
            EXPECT_TRUE(picture.contains(label.box));
            for (const SetupLabel &other : labels)
                EXPECT_TRUE(&other == &label || !other.box.intersects(label.box));
            ASSERT_TRUE(label.pointsAt.has_value());
            EXPECT_FALSE(label.box.adjusted(-4, -4, 4, 4).contains(*label.pointsAt));
            EXPECT_GT(qAlpha(image.pixel(*label.pointsAt)), 0) << "the leader ends off the drawing";
        }
    }
}

// Pixels of a colour in the band above a spot: a liquid standing over a solid would show there.
int liquidAbove(const QImage &image, QPoint spot, const QColor &liquid) {
    int n = 0;
    for (int y = spot.y() - 16; y <= spot.y() - 5; ++y)
        for (int x = spot.x() - 12; x <= spot.x() + 12; ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            n += c.alpha() == 255 && std::abs(c.red() - liquid.red()) <= 6 &&
                 std::abs(c.green() - liquid.green()) <= 6 &&
                 std::abs(c.blue() - liquid.blue()) <= 6;
        }
    return n;
}

// The liquid that is let in from the dropping funnel, a little at a time, waits there: the flask
// holds the solid alone (calcium carbide under water would make the funnel pointless).
TEST(ApparatusSetupContents, AFlaskUnderADroppingFunnelHoldsTheSolidAlone) {
    const QColor acid(0x8e, 0xd0, 0xf0), water(0xa9, 0xdd, 0xf6);
    const struct {
        const char *what;
        int setup;
        SetupContents contents;
        QColor liquid;
    } cases[] = {
        {"zinc and dilute sulfuric acid", 1, holding(1, 9), acid},
        {"calcium carbide and water", 1, holding(15, 23), water},
        {"bleaching powder and acid", 2, holding(12, 7), acid},
        {"manganese dioxide and hydrochloric acid", 8, chlorine(), acid},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage image = setupPicture(c.setup, c.contents);
        int solids = 0;
        for (const SetupLabel &label : setupLabels(c.setup, c.contents))
            if (label.text == reagentName(c.contents.reagent1)) {
                ++solids;
                EXPECT_EQ(liquidAbove(image, *label.pointsAt, c.liquid), 0);
            }
        EXPECT_EQ(solids, 1);
    }
}

TEST(ApparatusSetupContents, AColouredGasIsTintedInTheJar) {
    const QImage plain = setupPicture(8);
    const QImage filled = setupPicture(8, chlorine());
    const QColor tint(213, 238, 146); // the gas mixed half and half with the glass colour
    EXPECT_EQ(pixelsNear(plain, tint), 0);
    EXPECT_GT(pixelsNear(filled, tint), 800);
}

// A place a screen writes over is left empty by the drawing and the plates alike.
TEST(ApparatusSetupContents, AKeptPlaceStaysEmpty) {
    const QRect kept(168, 12, 259, 22);
    const SetupContents oxygen = holding(5, 19, std::nullopt, kept);
    const QImage image = setupPicture(3, oxygen);
    for (int y = kept.top(); y <= kept.bottom(); ++y)
        for (int x = kept.left(); x <= kept.right(); ++x)
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
}

// A look the drawings do not know is no liquid by default: the picture is refused, naming the
// reagent.
TEST(ApparatusSetupContents, AnUnknownLookIsAnErrorNamingTheReagent) {
    SetupContents zinc = holding(1, 9);
    zinc.look1 = QStringLiteral("透明");
    try {
        setupPicture(1, zinc);
        FAIL() << "drawn with an unknown look";
    } catch (const RuntimeError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("亜鉛"))) << e.reportLine().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("透明"))) << e.reportLine().toStdString();
    }
}

struct OutOfRangeCase {
    const char *name;
    PictureMaker make;
    int number;
};

void PrintTo(const OutOfRangeCase &c, std::ostream *os) {
    *os << c.name;
}

class ApparatusNumberOutOfRange : public ::testing::TestWithParam<OutOfRangeCase> {};

TEST_P(ApparatusNumberOutOfRange, IsASubscriptError) {
    const OutOfRangeCase &c = GetParam();
    try {
        c.make(c.number);
        FAIL() << "no error for " << c.number;
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
    }
}

INSTANTIATE_TEST_SUITE_P(ApparatusArt, ApparatusNumberOutOfRange,
                         ::testing::Values(OutOfRangeCase{"generator0", generatorPicture, 0},
                                           OutOfRangeCase{"generator5", generatorPicture, 5},
                                           OutOfRangeCase{"collector0", collectorPicture, 0},
                                           OutOfRangeCase{"collector4", collectorPicture, 4},
                                           OutOfRangeCase{"setup0", plainSetup, 0},
                                           OutOfRangeCase{"setup10", plainSetup, 10}),
                         [](const auto &info) { return std::string(info.param.name); });

const QByteArray kSquares = R"(<svg xmlns="http://www.w3.org/2000/svg" width="4" height="2">
<g id="left"><rect x="0" y="0" width="2" height="2" fill="#ff0000"/></g>
<rect id="right" x="2" y="0" width="2" height="2" fill="#0000ff"/>
</svg>)";

TEST(ApparatusSvgRender, ScalesToTheAskedSizeAndDropsAnElementWithItsChildren) {
    const QImage whole = renderSvg(kSquares, QSize(8, 4), QStringLiteral("squares"));
    ASSERT_EQ(whole.size(), QSize(8, 4));
    EXPECT_EQ(whole.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(whole.pixel(6, 1), qRgb(0, 0, 255));

    const QImage rightOnly = renderSvg(withoutSvgElement(kSquares, QStringLiteral("left")),
                                       QSize(8, 4), QStringLiteral("squares"));
    EXPECT_EQ(qAlpha(rightOnly.pixel(1, 1)), 0);
    EXPECT_EQ(rightOnly.pixel(6, 1), qRgb(0, 0, 255));

    const QImage unchanged = renderSvg(withoutSvgElement(kSquares, QStringLiteral("absent")),
                                       QSize(8, 4), QStringLiteral("squares"));
    EXPECT_EQ(unchanged, whole);
}

TEST(ApparatusSvgRender, MissingOrInvalidSourceIsARuntimeErrorNamingIt) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.svg"));
    try {
        renderSvgFile(missing, QSize(4, 4));
        FAIL();
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::FileNotFound);
        EXPECT_EQ(error.subject(), missing);
    }
    try {
        renderSvg("not an svg", QSize(4, 4), QStringLiteral("broken.svg"));
        FAIL();
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPicture);
        EXPECT_EQ(error.subject(), QStringLiteral("broken.svg"));
    }
}

} // namespace
} // namespace vaporica
