#include "assets/ArtPictures.h"
#include "app/Navigation.h"
#include "app/SharedVariables.h"
#include "assets/SvgRender.h"

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
