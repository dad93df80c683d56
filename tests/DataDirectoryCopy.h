#pragma once

// A copy of a built data directory that a case may break or change: the one copier for the unit
// tests (the teacher's checker on hand-edited data) and the end-to-end tests (the program on data
// of its own). The folders are the data contract's.

#include "base/DataContract.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <gtest/gtest.h>

namespace vaporica::testdata {

class DataDirectoryCopy {
public:
    // Copies every data folder of `from` into `root`, which is made if need be.
    DataDirectoryCopy(const QString &from, const QString &root) : root_(root) {
        EXPECT_TRUE(QDir().mkpath(root_));
        for (const QString &folder : contract::DataFolders) {
            const QDir source(from + '/' + folder);
            QDir().mkpath(path(folder));
            for (const QString &name : source.entryList(QDir::Files))
                EXPECT_TRUE(QFile::copy(source.filePath(name), path(folder + '/' + name)));
        }
    }

    QString path(const QString &relative) const { return root_ + '/' + relative; }
    QString native(const QString &relative) const {
        return QDir::toNativeSeparators(path(relative));
    }
    const QString &root() const { return root_; }

    // A file or a whole folder.
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
    // Replaces one line (1-based) of a text file.
    void replaceLine(const QString &relative, int line, const QByteArray &text) const {
        QList<QByteArray> lines = read(relative).split('\n');
        ASSERT_LE(line, lines.size()) << relative.toStdString();
        lines[line - 1] = text;
        write(relative, lines.join('\n'));
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
        for (const QString &folder : contract::DataFolders) {
            QDirIterator files(path(folder), QDir::Files);
            while (files.hasNext())
                QFile::setPermissions(files.next(), fileMode);
            QFile::setPermissions(path(folder), dirMode);
        }
        QFile::setPermissions(root_, dirMode);
    }

private:
    QString root_;
};

} // namespace vaporica::testdata
