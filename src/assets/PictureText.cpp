#include "assets/PictureText.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cstdio>

namespace vaporica {

QString pictureTextPath(const QString &picturePath) {
    const QFileInfo picture(picturePath);
    return picture.dir().filePath(picture.completeBaseName() + QStringLiteral(".txt"));
}

QString pictureText(const QString &picturePath) {
    const QString path = pictureTextPath(picturePath);
    // Words for a picture, not a book: a few lines at most.
    constexpr qint64 Limit = 4096;
    const auto fail = [&path](const char *problem) {
        std::fprintf(stderr, "ヴァポリカ: 絵の説明文を使えません (%s): %s\n", problem,
                     path.toUtf8().constData());
        return QString();
    };
    // Opened as every data file is: a pipe or a device in its place must not stop the lesson.
    QFile file;
    switch (openRegularFile(path, file)) {
    case OpenOutcome::Opened:
        break;
    case OpenOutcome::Missing:
        return {}; // the text is optional
    case OpenOutcome::NotRegular:
        return fail("普通のファイルではありません");
    case OpenOutcome::Unreadable:
        return fail("読み込めません");
    }
    const QByteArray bytes = file.read(Limit + 1);
    if (bytes.size() > Limit)
        return fail("4096 バイトを超えています");
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError())
        return fail("UTF-8 の文字ではありません");
    return text.simplified();
}

} // namespace vaporica
