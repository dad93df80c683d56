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
    return dataText(pictureTextPath(picturePath));
}

QString dataText(const QString &path) {
    // Words for a picture, not a book: a few lines at most.
    constexpr qint64 Limit = 4096;
    const auto fail = [&path](const QString &problem) {
        std::fprintf(stderr, "ヴァポリカ: 説明文を使えません (%s): %s\n",
                     problem.toUtf8().constData(), path.toUtf8().constData());
        return QString();
    };
    // Opened as every data file is: a pipe or a device in its place must not stop the lesson.
    QFile file;
    const OpenOutcome outcome = openRegularFile(path, file);
    if (outcome == OpenOutcome::Missing)
        return {}; // the text is optional
    if (outcome != OpenOutcome::Opened)
        return fail(openProblem(outcome));
    const QByteArray bytes = file.read(Limit + 1);
    if (bytes.size() > Limit)
        return fail(QStringLiteral("4096 バイトを超えています"));
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError())
        return fail(QStringLiteral("UTF-8 の文字ではありません"));
    return text.simplified();
}

} // namespace vaporica
