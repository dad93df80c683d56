#include "widgets/ArtPictures.h"
#include "ApparatusArt.h"
#include "Plates.h"
#include "app/Navigation.h"
#include "base/SharedVariables.h"
#include "drawing/SvgRender.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

// Every SVG of the artwork, as its resource name.
QStringList artResources() {
    const QDir art(QStringLiteral(VAPORICA_SOURCE_DIR "/art"));
    QStringList resources;
    QDirIterator it(art.path(), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        resources << QStringLiteral(":/art/") + art.relativeFilePath(it.next());
    return resources;
}

// The build's pixels must be the renderer's pixels: a picture left out, stale or stored in the
// wrong format differs from a fresh rendering or comes from the SVG after all.
TEST(ArtPictures, EveryPictureIsPreRenderedAsItsSvgRenders) {
    const QStringList resources = artResources();
    ASSERT_FALSE(resources.isEmpty());
    for (const QString &resource : resources) {
        SCOPED_TRACE(resource.toStdString());
        const QSize size = QSvgRenderer(resource).defaultSize();
        const int rendered = artPicturesRenderedFromSvg();
        const QImage picture = artPicture(resource, size);
        EXPECT_EQ(artPicturesRenderedFromSvg(), rendered) << "not pre-rendered";
        EXPECT_EQ(picture.size(), size);
        EXPECT_TRUE(picture == renderSvgFile(resource, size)) << "differs from its SVG";
    }
}

TEST(ArtPictures, AnotherSizeIsRenderedFromTheSvg) {
    const QString resource = QStringLiteral(":/art/common/mark-right.svg");
    const int rendered = artPicturesRenderedFromSvg();
    const QImage picture = artPicture(resource, {100, 98});
    EXPECT_EQ(artPicturesRenderedFromSvg(), rendered + 1);
    EXPECT_EQ(picture.size(), QSize(100, 98));
    EXPECT_TRUE(picture == renderSvgFile(resource, {100, 98}));
}

// The apparatus quiz's choices are pre-rendered too: the pixels the generator's own drawing gives.
TEST(ArtPictures, TheApparatusChoicesArePreRenderedAsTheGeneratorDrawsThem) {
    struct Choice {
        const char *resource;
        QImage (*draw)(int);
        int n;
    };
    const int rendered = artPicturesRenderedFromSvg();
    for (const Choice &choice : {Choice{":/apparatus/generator1.svg", generatorPicture, 1},
                                 Choice{":/apparatus/generator2.svg", generatorPicture, 2},
                                 Choice{":/apparatus/generator3.svg", generatorPicture, 3},
                                 Choice{":/apparatus/generator4.svg", generatorPicture, 4},
                                 Choice{":/apparatus/collector1.svg", collectorPicture, 1},
                                 Choice{":/apparatus/collector2.svg", collectorPicture, 2},
                                 Choice{":/apparatus/collector3.svg", collectorPicture, 3}}) {
        SCOPED_TRACE(choice.resource);
        EXPECT_TRUE(artPicture(QString::fromLatin1(choice.resource)) == choice.draw(choice.n));
    }
    EXPECT_EQ(artPicturesRenderedFromSvg(), rendered) << "not pre-rendered";
}

// The screens' design-time plates are the generator's plates in their normal look, at their own
// size and at twice it.
TEST(ArtPictures, TheDesignTimePlatesAreTheGeneratorsNormalPlates) {
    const auto samePixels = [](const QImage &stored, const QImage &drawn) {
        return stored == drawn.convertToFormat(stored.format());
    };
    for (int gas = 1; gas <= GasCount; ++gas) {
        const PictureFile stored = gasPlatePicture(gas);
        EXPECT_TRUE(samePixels(stored.pixels, gasPlate(gas, false))) << "gas " << gas;
        EXPECT_TRUE(samePixels(stored.doubled, gasPlate(gas, false, 2))) << "gas " << gas << " @2x";
    }
    for (int reagent = 1; reagent <= ReagentCount; ++reagent) {
        const PictureFile stored = reagentPlatePicture(reagent);
        EXPECT_TRUE(samePixels(stored.pixels, reagentPlate(reagent, false)))
            << "reagent " << reagent;
        EXPECT_TRUE(samePixels(stored.doubled, reagentPlate(reagent, false, 2)))
            << "reagent " << reagent << " @2x";
    }
    for (const auto &[what, plate] : {std::pair{"gas 15", +[] { gasPlatePicture(15); }},
                                      std::pair{"reagent 0", +[] { reagentPlatePicture(0); }}}) {
        SCOPED_TRACE(what);
        try {
            plate();
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
        }
    }
}

// A screen that asks for a size of its own would quietly render SVG again at every switch.
class ScreenArtwork : public ProgramTest {};

TEST_F(ScreenArtwork, NoScreenRendersSvgWhenShown) {
    startProgram();
    const int rendered = artPicturesRenderedFromSvg();
    CurrentQuestion = 1; // the apparatus quiz and the summary show the current question
    for (ScreenId id : {ScreenId::GasQuiz, ScreenId::ApparatusQuiz, ScreenId::Summary,
                        ScreenId::Properties, ScreenId::Menu})
        ScreenSwitch(id);
    EXPECT_EQ(artPicturesRenderedFromSvg(), rendered);
    EXPECT_TRUE(reports.empty());
}

} // namespace
} // namespace vaporica::test
