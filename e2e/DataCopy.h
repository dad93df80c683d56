#pragma once

// A copy of the built data directory with the executable beside it, for the cases that run the
// program on data of their own.

#include "DataDirectoryCopy.h"
#include "base/DataContract.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <unistd.h>

namespace vaporica::e2e {

using contract::DataFolders;

// A copy of the built data directory with the executable beside it, to be broken or changed.
class DataCopy : public testdata::DataDirectoryCopy {
public:
    explicit DataCopy(const QString &root)
        : DataDirectoryCopy(QStringLiteral(VAPORICA_DATA_DIR), root) {
        // A hard link keeps the sanitizer build's large executable from being copied per case; the
        // link is a real directory entry, so the program sees the copy's directory as its own.
        place(QStringLiteral(VAPORICA_EXECUTABLE), executable());
        place(QStringLiteral(VAPORICA_SOUND_MODULE), path(QStringLiteral("vaporica-sound.so")));
    }

    QString executable() const { return path(QStringLiteral("vaporica")); }

private:
    static void place(const QString &from, const QString &to) {
        if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
            EXPECT_TRUE(QFile::copy(from, to)) << qPrintable(to);
        }
    }
};

const QString Questions = QStringLiteral("説明/mondai.txt");
const QString GasTable = QStringLiteral("説明/taiou.txt");

// Every record the same, so the right answers are known whichever is drawn.
inline auto everyRecord(const QByteArray &record) {
    return [=](const DataCopy &d) {
        QByteArray bank;
        for (int q = 0; q < 20; ++q)
            bank += record + "\n";
        d.write(Questions, bank);
    };
}
// The shipped first question, whose answers the driven cases give: oxygen (gas button 1),
// generator 3, collection 3.
const QByteArray OxygenRecord = "1,5,19,3,3,101";

} // namespace vaporica::e2e
