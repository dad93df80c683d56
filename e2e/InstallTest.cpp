// The build installed into a temporary prefix (`cmake --install`), checked for what a desktop and
// a teacher need: the program with its data directory beside it, the package's tables, the
// teacher's tools and guide, a valid desktop entry and AppStream metainfo, the icon at each size,
// and a launcher on the path that starts the program from anywhere.

#include "Commands.h"
#include "ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace vaporica::e2e;

const QString AppId = QStringLiteral(VAPORICA_APP_ID);

class Install : public testing::Test {
protected:
    // One install for all the cases: they only read it.
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<QTemporaryDir>();
        installed_ =
            run({QStringLiteral("cmake"), QStringLiteral("--install"),
                 QStringLiteral(VAPORICA_BUILD_DIR), QStringLiteral("--prefix"), prefix_->path()});
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override { ASSERT_TRUE(ended(installed_, 0)); }

    static QString at(const QString &relative) { return prefix_->filePath(relative); }

    // The folder of the installed executable, wherever the prefix's layout puts it.
    static QString programFolder() {
        for (QDirIterator it(prefix_->path(), {QStringLiteral("vaporica")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QFileInfo file(it.next());
            if (file.dir().dirName() == QStringLiteral("vaporica"))
                return file.path();
        }
        return {};
    }

    static std::unique_ptr<QTemporaryDir> prefix_;
    static Ran installed_;
};

std::unique_ptr<QTemporaryDir> Install::prefix_;
Ran Install::installed_;

bool notEmpty(const QString &path) {
    return QFileInfo(path).size() > 0;
}

TEST_F(Install, PutsTheDataBesideTheProgramAndTheTablesAndGuideWhereTheToolsLook) {
    const QString program = programFolder();
    ASSERT_FALSE(program.isEmpty()) << "no installed executable under " << at({}).toStdString();
    for (const char *file :
         {"vaporica-sound.so", "説明/mondai.txt", "説明/taiou.txt", "音/o.wav", "音/x.wav",
          "気体/gas1(14).gif", "気体/gas2(1).gif", "薬品/yaku1(24).gif", "薬品/yaku2(1).gif",
          "反応式/siki(20).gif", "装置/souti(1).gif", "装置/souti(4).gif", "性質/seisitu(14).gif"})
        EXPECT_TRUE(notEmpty(program + QLatin1Char('/') + QString::fromUtf8(file)))
            << "missing beside the executable: " << file;
    for (const char *file :
         {"share/vaporica/questions.tsv", "share/vaporica/gases.tsv", "share/vaporica/reagents.tsv",
          "share/doc/vaporica/examples/questions.tsv", "share/doc/vaporica/examples/README.md",
          "share/doc/vaporica/teacher-guide.html", "share/doc/vaporica/setup-drawings.png"})
        EXPECT_TRUE(notEmpty(at(QString::fromUtf8(file)))) << "not installed: " << file;
    for (const char *command : {"bin/vaporica", "bin/vaporica-make-material"})
        EXPECT_TRUE(QFileInfo(at(QString::fromUtf8(command))).isExecutable()) << command;
}

TEST_F(Install, TheCommandsAnswerInJapaneseAndTheCheckerFindsTheInstalledData) {
    EXPECT_TRUE(ended(run({at(QStringLiteral("bin/vaporica")), QStringLiteral("--help")}), 0,
                      {QStringLiteral("^使い方: vaporica")}));
    EXPECT_TRUE(ended(run({at(QStringLiteral("bin/vaporica-check-material"))}), 0));
}

TEST_F(Install, TheDesktopEntryAndMetainfoAreValid) {
    const QString entry = at(QStringLiteral("share/applications/%1.desktop").arg(AppId));
    EXPECT_TRUE(ended(run({QStringLiteral("desktop-file-validate"), entry}), 0));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry.toStdString();
    EXPECT_TRUE(QString::fromUtf8(file.readAll())
                    .contains(QRegularExpression(
                        QStringLiteral("(?m)^Categories=.*Education;.*Science;.*Chemistry;"))))
        << "desktop entry categories";
    EXPECT_TRUE(ended(
        run({QStringLiteral("appstreamcli"), QStringLiteral("validate"), QStringLiteral("--no-net"),
             at(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId))}),
        0));
}

TEST_F(Install, TheIconComesAtEverySizeAndScalable) {
    for (int size : {32, 48, 64, 128, 256}) {
        const QString png =
            at(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId));
        EXPECT_EQ(QImageReader(png).size(), QSize(size, size)) << png.toStdString();
    }
    EXPECT_TRUE(
        notEmpty(at(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId))));
}

// Started from elsewhere through a link, as a menu or the path would, the launcher shows the
// menu: the program finds its data beside itself, not in the folder it is started from.
TEST_F(Install, TheLauncherThroughALinkStartsTheProgramFromAnywhere) {
    const QString link = at(QStringLiteral("on-path"));
    ASSERT_TRUE(QFile::link(at(QStringLiteral("bin/vaporica")), link));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VAPORICA_REPORT_SCREENS"), QStringLiteral("1"));
    ProgramRun program(link, QStringLiteral("/"), env);
    ASSERT_TRUE(program.started());
    const QByteArray menuShown = QStringLiteral("画面「メニュー」を表示しました").toUtf8();
    EXPECT_TRUE(
        program.waitFor([&] { return program.err().contains(menuShown); }, 30000 * Slowdown))
        << "the installed program did not show its menu:\n"
        << program.errShown();
}

} // namespace
