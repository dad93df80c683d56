#include "widgets/ScalablePicture.h"
#include "drawing/SvgRender.h"
#include "widgets/ArtPictures.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include "TestSupport.h"

#include <QPainter>
#include <QSet>
#include <QtMath>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

QImage checkerboard(QSize size) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixelColor(x, y, (x + y) % 2 ? Qt::black : Qt::white);
    return picture;
}

int distinctColours(const QImage &picture) {
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    return int(colours.size());
}

// At one device pixel per layout pixel nothing is rendered or scaled: the fast path of every
// ordinary screen.
TEST(ScalablePictures, AtRatioOneThePixelsAreShownAsTheyAre) {
    const ScalablePicture art = scalableArtPicture(QStringLiteral(":/art/common/mark-right.svg"));
    const ScalablePicture file(checkerboard({8, 8}));
    const int rendered = artPicturesRenderedFromSvg();
    for (const ScalablePicture *picture : {&art, &file}) {
        EXPECT_EQ(picture->forDevice(picture->size(), 1.0).cacheKey(),
                  picture->pixels().cacheKey());
        EXPECT_EQ(picture->forDevice({300, 300}, 1.0).cacheKey(), picture->pixels().cacheKey())
            << "a stretched picture is stretched by the painter, as before";
    }
    EXPECT_EQ(artPicturesRenderedFromSvg(), rendered);
}

// A data picture larger than its control is scaled only where the control shows it: a 2048-pixel
// plate centred on a 180 x 40 button at 2x costs the button's 360 x 80 pixels, not 4096 x 4096.
TEST(ScalablePictures, OnlyTheShownPartOfADataPictureIsScaled) {
    QImage plate(2048, 2048, QImage::Format_ARGB32_Premultiplied);
    plate.fill(Qt::darkGreen);
    plate.setPixelColor(1024, 1024, Qt::white); // at the button's centre
    // A control that centres and clips its picture, as the plates' buttons do.
    struct Shows : QWidget {
        ScalablePicture picture;
        void paintEvent(QPaintEvent *) override {
            QPainter painter(this);
            picture.draw(painter, QRect(QPoint(90 - 1024, 20 - 1024), picture.size()));
        }
    };
    for (const qreal ratio : {1.5, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        Shows control;
        control.picture = ScalablePicture(plate);
        control.resize(180, 40);
        QImage device((QSizeF(180, 40) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(ratio);
        device.fill(Qt::black);
        control.render(&device);
        EXPECT_LE(control.picture.madeSize().width(), qCeil(180 * ratio) + 1);
        EXPECT_LE(control.picture.madeSize().height(), qCeil(40 * ratio) + 1);
        EXPECT_FALSE(control.picture.madeSize().isEmpty());
        EXPECT_EQ(device.pixelColor(device.width() / 4, device.height() / 4),
                  QColor(Qt::darkGreen));
    }
}

// A button keeps only the centre of a picture file far larger than itself, drawn where the whole
// picture would have been drawn.
TEST(ScalablePictures, AButtonKeepsOnlyWhatItCanShowOfAHugePicture) {
    QImage plate(2048, 2048, QImage::Format_ARGB32_Premultiplied);
    plate.fill(Qt::darkGreen);
    plate.setPixelColor(1024, 1024, Qt::white);
    GraphicalButton button(nullptr, TwipsRect{0, 0, 180 * 15, 40 * 15}, QColor(Qt::gray));
    button.setPicture(ScalablePicture(plate));
    EXPECT_LE(button.picture().width(), 182);
    EXPECT_LE(button.picture().height(), 42);
    const QImage look = button.grab().toImage();
    EXPECT_EQ(look.pixelColor(90, 20), QColor(Qt::white));
    EXPECT_EQ(look.pixelColor(89, 20), QColor(Qt::darkGreen));
}

// Artwork on a screen of more device pixels is the SVG rendered at the device's own size, made
// once per size and ratio for every screen that shows it.
TEST(ScalablePictures, ArtworkIsRenderedFromItsSvgAtTheDevicesSize) {
    const struct {
        const char *resource;
        QSize target;
        qreal ratio;
        QSize device;
    } rows[] = {
        {":/art/common/mark-right.svg", {199, 195}, 2.0, {398, 390}},
        {":/art/common/mark-right.svg", {205, 195}, 2.0, {410, 390}}, // stretched into its box
        {":/art/common/nav-quit.svg", {100, 32}, 1.5, {150, 48}},
        {":/art/menu/button-quiz.svg", {169, 48}, 1.5, {254, 72}}, // 253.5 rounded
        {":/apparatus/generator3.svg", {142, 148}, 2.0, {284, 296}},
        {":/art/gasquiz/background.svg", {766, 541}, 1.25, {958, 676}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.resource);
        const QString resource = QString::fromLatin1(row.resource);
        const ScalablePicture picture = scalableArtPicture(resource);
        const int before = artPicturesRenderedFromSvg();
        const QImage made = picture.forDevice(row.target, row.ratio);
        const int rendered = artPicturesRenderedFromSvg();
        EXPECT_LE(rendered, before + 1);
        EXPECT_EQ(made.size(), row.device);
        EXPECT_EQ(made.devicePixelRatio(), row.ratio);
        QImage expected = renderSvgFile(resource, row.device);
        expected.setDevicePixelRatio(row.ratio);
        EXPECT_TRUE(made == expected) << "not the SVG at the device's size";
        EXPECT_EQ(picture.forDevice(row.target, row.ratio).cacheKey(), made.cacheKey());
        // The next screen's picture of the same piece renders nothing.
        const ScalablePicture again = scalableArtPicture(resource);
        EXPECT_EQ(again.forDevice(row.target, row.ratio).cacheKey(), made.cacheKey());
        EXPECT_EQ(artPicturesRenderedFromSvg(), rendered) << "rendered once, then kept";
        EXPECT_EQ(picture.forDevice(row.target, 1.0).cacheKey(), picture.pixels().cacheKey());
    }
}

// A picture file has one size: more device pixels get in-between colours, not copies of pixels.
TEST(ScalablePictures, APictureFileIsScaledSmoothlyNotByRepeatingItsPixels) {
    const ScalablePicture file(checkerboard({8, 8}));
    for (const qreal ratio : {1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage made = file.forDevice({8, 8}, ratio);
        EXPECT_EQ(made.size(), QSize(qRound(8 * ratio), qRound(8 * ratio)));
        EXPECT_GT(distinctColours(made), 2) << "only the picture's own two colours";
    }
}

// What a control puts on a device of two pixels per layout pixel: the artwork drawn from its SVG,
// the picture file smoothed; at one pixel, its own pixels.
TEST(ScalablePictures, ControlsDrawForTheirDevicesRatio) {
    Form form(QStringLiteral("試験"), 6000, 4500);
    const QString mark = QStringLiteral(":/art/common/mark-wrong.svg");
    auto *art = new ImageBox(&form, {0, 0, 3165, 3105});
    art->setPicture(scalableArtPicture(mark));
    auto *stretched = new ImageBox(&form, {0, 0, 3300, 3300}, true);
    stretched->setPicture(scalableArtPicture(mark));
    auto *file = new ImageBox(&form, {0, 0, 300, 300});
    file->setPicture(checkerboard({20, 20}));
    auto *button = new GraphicalButton(&form, {0, 0, 1560, 480}, 0x000000FF);
    button->setPicture(scalableArtPicture(QStringLiteral(":/art/common/nav-quit.svg")));

    const auto drawn = [](QWidget *control, qreal ratio) {
        QImage device((QSizeF(control->size()) * ratio).toSize(),
                      QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(ratio);
        device.fill(Qt::transparent);
        control->render(&device, {}, {}, QWidget::DrawChildren); // no window ground
        return device;
    };
    const auto svgAt = [](const QString &resource, QSize size) {
        return renderSvgFile(resource, size);
    };
    EXPECT_TRUE(drawn(art, 1.0) == art->picture());
    EXPECT_TRUE(drawn(art, 2.0) ==
                svgAt(mark, {422, 414}).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    const QImage stretchedAt2 = drawn(stretched, 2.0);
    EXPECT_TRUE(stretchedAt2 == svgAt(mark, {440, 440})) << "the stretched mark, from its SVG";
    EXPECT_GT(distinctColours(drawn(file, 2.0).copy(0, 0, 40, 40)), 2);
    const QImage buttonAt2 = drawn(button, 2.0);
    const QImage quitAt2 = svgAt(QStringLiteral(":/art/common/nav-quit.svg"), {200, 64});
    // The picture is centred in the 104 x 32 face: two layout pixels in, four device pixels.
    EXPECT_TRUE(buttonAt2.copy(8, 8, 192, 48) == quitAt2.copy(4, 8, 192, 48));
}

} // namespace
} // namespace vaporica::test
