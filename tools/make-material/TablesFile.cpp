#include "TablesFile.h"

#include "Tables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <optional>
#include <stdexcept>

namespace vaporica::material {

namespace {

const QByteArray Magic = "vaporica-tables";
constexpr int Version = 1;
const QByteArray EndLine = "end";

QByteArray digest(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

[[noreturn]] void refuse(const QString &file, const QString &what) {
    throw std::runtime_error(QStringLiteral("%1: %2").arg(file, what).toStdString());
}

[[noreturn]] void damaged(const QString &file, const QString &what) {
    refuse(file,
           QStringLiteral("壊れています（%1）。書き出したファイルをもう一度コピーしてください")
               .arg(what));
}

// Reads the file line by line up to each table, and each table by its size.
class Reader {
public:
    explicit Reader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    bool atEnd() const { return at_ >= bytes_.size(); }
    qsizetype remaining() const { return bytes_.size() - at_; }
    int lineNumber() const { return line_; }

    // The next line without its newline; nullopt when the file ends before a newline.
    std::optional<QByteArray> line() {
        const qsizetype end = bytes_.indexOf('\n', at_);
        if (end < 0)
            return std::nullopt;
        const QByteArray text = bytes_.mid(at_, end - at_);
        at_ = end + 1;
        ++line_;
        return text;
    }

    // `size` bytes and the newline after them; nullopt when they are not there.
    std::optional<QByteArray> block(qsizetype size) {
        if (remaining() < size + 1 || bytes_.at(at_ + size) != '\n')
            return std::nullopt;
        const QByteArray text = bytes_.mid(at_, size);
        at_ += size + 1;
        line_ += text.count('\n') + 1;
        return text;
    }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
    int line_ = 0;
};

QByteArray readAll(const QString &file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        refuse(file, QStringLiteral("読み込めません（%1）。ファイルの場所と名前を確かめてください")
                         .arg(in.errorString()));
    return in.readAll();
}

void checkVersionLine(const QString &file, Reader &reader) {
    const std::optional<QByteArray> first = reader.line();
    const QList<QByteArray> words = first ? first->split(' ') : QList<QByteArray>();
    if (words.size() != 2 || words[0] != Magic)
        refuse(file, QStringLiteral("ヴァポリカの表のファイルではありません。「問題の編集」の「書"
                                    "き出す」で作ったファイル（%1）を指定してください")
                         .arg(TablesFileSuffix));
    bool number = false;
    const int version = words[1].toInt(&number);
    if (!number || version < 1)
        damaged(file, QStringLiteral("1 行目の版が読めません"));
    if (version > Version)
        refuse(file,
               QStringLiteral("新しい版のヴァポリカで書き出されたファイルです（形式 %1）。この"
                              "コンピューターのヴァポリカを新しくしてから使ってください")
                   .arg(version));
}

} // namespace

QStringList tableNames() {
    return {QuestionsTable, GasesTable, ReagentsTable};
}

void writeTablesFile(const QString &tablesDir, const QString &file) {
    QByteArray out = Magic + ' ' + QByteArray::number(Version) + '\n';
    out += QStringLiteral("# ヴァポリカの問題の表。各コンピューターで: sudo vaporica-make-material "
                          "--system このファイル\n")
               .toUtf8();
    for (const QString &name : tableNames()) {
        const QString path = QDir(tablesDir).filePath(name);
        QFile table(path);
        if (!table.open(QIODevice::ReadOnly))
            refuse(path, QStringLiteral("読み込めません（%1）。表を保存してから、もう一度書き出し"
                                        "てください")
                             .arg(table.errorString()));
        const QByteArray bytes = table.readAll();
        out += name.toUtf8() + ' ' + QByteArray::number(bytes.size()) + ' ' + digest(bytes) + '\n';
        out += bytes + '\n';
    }
    out += EndLine + '\n';
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly) || save.write(out) != out.size() || !save.commit())
        refuse(file, QStringLiteral("書けません（%1）。書き込めるフォルダー（USB メモリーなど）を選"
                                    "んでください")
                         .arg(save.errorString()));
}

void unpackTablesFile(const QString &file, const QString &into) {
    Reader reader(readAll(file));
    checkVersionLine(file, reader);
    QMap<QString, QByteArray> tables;
    QString last = QStringLiteral("見出し");
    while (true) {
        std::optional<QByteArray> line = reader.line();
        if (!line)
            refuse(file,
                   QStringLiteral("途中で切れています（%1 のあと）。書き出したファイルをもう一"
                                  "度コピーしてください")
                       .arg(last));
        if (line->startsWith('#'))
            continue;
        if (*line == EndLine)
            break;
        const QList<QByteArray> words = line->split(' ');
        const QString name = QString::fromUtf8(words.value(0));
        bool sized = false;
        const qsizetype size = words.size() == 3 ? words[1].toLongLong(&sized) : -1;
        if (!sized || size < 0 || !tableNames().contains(name))
            damaged(file,
                    QStringLiteral("%1 行目が表の見出しではありません").arg(reader.lineNumber()));
        if (tables.contains(name))
            damaged(file, QStringLiteral("%1 が二つあります").arg(name));
        const std::optional<QByteArray> bytes = reader.block(size);
        if (!bytes && reader.remaining() >= size + 1)
            damaged(file, QStringLiteral("%1 の大きさが、書き出したときと違います").arg(name));
        if (!bytes)
            refuse(file,
                   QStringLiteral("途中で切れています（%1 の途中まで）。書き出したファイルをも"
                                  "う一度コピーしてください")
                       .arg(name));
        if (digest(*bytes) != words[2])
            damaged(file, QStringLiteral("%1 の中身が、書き出したときと違います").arg(name));
        tables.insert(name, *bytes);
        last = name;
    }
    if (!reader.atEnd())
        damaged(file, QStringLiteral("終わりの印のあとに、余計なデータがあります"));
    for (const QString &name : tableNames())
        if (!tables.contains(name))
            damaged(file, QStringLiteral("%1 が入っていません").arg(name));
    for (auto table = tables.cbegin(); table != tables.cend(); ++table) {
        QFile out(QDir(into).filePath(table.key()));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(table.value()) != table.value().size())
            refuse(out.fileName(), QStringLiteral("書けません（%1）").arg(out.errorString()));
    }
}

} // namespace vaporica::material
