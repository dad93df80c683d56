#pragma once

// A copy of the built data directory with the executable beside it, for the cases that run the
// program on data of their own.

#include "base/DataContract.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>

#include <unistd.h>

namespace vaporica::e2e {

using contract::DataFolders;

// A copy of the built data directory with the executable beside it, to be broken or changed.
class DataCopy {
public:
    explicit DataCopy(const QString &root) : root_(root) {
        EXPECT_TRUE(QDir().mkpath(root_));
        for (const QString &folder : DataFolders) {
            const QDir source(QStringLiteral(VAPORICA_DATA_DIR "/") + folder);
            QDir().mkpath(path(folder));
            for (const QString &name : source.entryList(QDir::Files))
                EXPECT_TRUE(QFile::copy(source.filePath(name), path(folder + '/' + name)));
        }
        // A hard link keeps the sanitizer build's large executable from being copied per case; the
        // link is a real directory entry, so the program sees the copy's directory as its own.
        place(QStringLiteral(VAPORICA_EXECUTABLE), executable());
        place(QStringLiteral(VAPORICA_SOUND_MODULE), path(QStringLiteral("vaporica-sound.so")));
    }

    QString path(const QString &relative) const { return root_ + '/' + relative; }
    QString native(const QString &relative) const {
        return QDir::toNativeSeparators(path(relative));
    }
    QString executable() const { return path(QStringLiteral("vaporica")); }
    const QString &root() const { return root_; }

    void remove(const QString &relative) const {
        QFileInfo info(path(relative));
        if (info.isDir())
            ASSERT_TRUE(QDir(path(relative)).removeRecursively()) << relative.toStdString();
        else
            ASSERT_TRUE(QFile::remove(path(relative))) << relative.toStdString();
    }
    void write(const QString &relative, const QByteArray &contents) const {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            << relative.toStdString();
        file.write(contents);
    }
    QByteArray read(const QString &relative) const {
        QFile file(path(relative));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
        return file.readAll();
    }
    // The values of a bank file in order, whatever their spread over lines.
    QList<QByteArray> values(const QString &relative) const {
        QList<QByteArray> all;
        for (const QByteArray &line : read(relative).split('\n'))
            for (const QByteArray &field : line.split(','))
                if (!field.trimmed().isEmpty())
                    all.append(field.trimmed());
        return all;
    }
    void writeValues(const QString &relative, const QList<QByteArray> &all, int perLine) const {
        QByteArray text;
        for (qsizetype i = 0; i < all.size(); ++i)
            text += all[i] + ((i + 1) % perLine == 0 || i + 1 == all.size() ? "\n" : ",");
        write(relative, text);
    }
    // Replaces the value at 1-based position `position`.
    void setValue(const QString &relative, int position, const QByteArray &value,
                  int perLine) const {
        QList<QByteArray> all = values(relative);
        ASSERT_LE(position, all.size());
        all[position - 1] = value;
        writeValues(relative, all, perLine);
    }
    void setReadOnly(bool readOnly) const {
        const auto dirMode = readOnly ? QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther
                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto fileMode = readOnly ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                       : QFile::ReadOwner | QFile::WriteOwner;
        for (const QString &folder : DataFolders) {
            QDirIterator files(path(folder), QDir::Files);
            while (files.hasNext())
                QFile::setPermissions(files.next(), fileMode);
            QFile::setPermissions(path(folder), dirMode);
        }
        QFile::setPermissions(root_, dirMode);
    }

private:
    static void place(const QString &from, const QString &to) {
        if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
            EXPECT_TRUE(QFile::copy(from, to)) << qPrintable(to);
        }
    }

    QString root_;
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
