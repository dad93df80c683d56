// Every data file the program reads, bank file or picture, is opened the same way: a missing file
// is "not found", anything that is no readable regular file "cannot be read", each naming the path
// and none of them waiting on a pipe or a device.

#include "assets/PictureLoader.h"
#include "bank/NumberReader.h"
#include "base/RuntimeError.h"

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vaporica::test {
namespace {

TEST(DataFiles, OpenOnlyReadableRegularFilesAndNameTheOthers) {
    DataDirectory data;
    const QString root = data.root();
    struct Row {
        const char *what;
        QString path;
        int picture; // error number for a picture
        int bank;    // error number for a bank file
    };
    std::vector<Row> table = {
        {"missing", root + QStringLiteral("/none"), 53, 53},
        {"a directory", root + QStringLiteral("/気体"), 53, 75},
        {"a named pipe", root + QStringLiteral("/pipe"), 75, 75},
        {"a link to a device", root + QStringLiteral("/zero"), 75, 75},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), root + QStringLiteral("/zero")));
    // Root reads every file whatever its mode, so this row needs an ordinary user.
    if (::geteuid() != 0) {
        data.write(QStringLiteral("locked.gif"),
                   DataDirectory::fixturePicture(QStringLiteral("locked"), {8, 8}));
        QFile::setPermissions(root + QStringLiteral("/locked.gif"), QFileDevice::WriteOwner);
        table.push_back({"without read permission", root + QStringLiteral("/locked.gif"), 75, 75});
    }
    const std::function<void(const QString &)> readers[] = {
        [](const QString &path) { loadPicture(path); },
        [](const QString &path) { NumberReader reader(path); }};
    for (const Row &row : table) {
        for (int which = 0; which < 2; ++which) {
            SCOPED_TRACE(std::string(row.what) + (which == 0 ? " picture" : " bank file"));
            QElapsedTimer clock;
            clock.start();
            try {
                readers[which](row.path);
                ADD_FAILURE() << "no error";
            } catch (const RuntimeError &e) {
                EXPECT_EQ(int(e.number()), which == 0 ? row.picture : row.bank);
                EXPECT_EQ(e.subject(), row.path);
            }
            EXPECT_LT(clock.elapsed(), 1000);
        }
    }
}

} // namespace
} // namespace vaporica::test
