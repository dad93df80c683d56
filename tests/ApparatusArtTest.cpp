#include "ApparatusArt.h"
#include "app/RuntimeError.h"
#include "assets/SvgRender.h"

#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace vaporica {
namespace {

using PictureMaker = std::function<QImage(int)>;

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

TEST(ApparatusSetupPicture, NumbersAreTheOnesTheQuestionBankUses) {
    EXPECT_EQ(setupNumbers(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

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
                                           OutOfRangeCase{"setup0", setupPicture, 0},
                                           OutOfRangeCase{"setup10", setupPicture, 10}),
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
