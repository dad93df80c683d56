#include "SystemInstall.h"

#include "Tables.h"
#include "TablesFile.h"
#include "assets/DataPaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace vaporica::material {

namespace {

const QString &SchoolTables = SchoolTablesDir;
const QString InstalledData = QStringLiteral("/var/lib/vaporica");
const QString LogFile = QStringLiteral("/var/log/vaporica.log");
const QStringList TableNames = tableNames();
// Set for the plain run a system run starts: only that run may write the installed data.
constexpr const char *MakingInstalledData = "VAPORICA_MAKING_INSTALLED_DATA";
// Beyond the plain run's 0, 1 and 2: the data could not be made again, and the complete data in
// place was kept (the package's maintainer script goes on).
constexpr int KeptData = 3;

const char *const Usage =
    "使い方: vaporica-make-material --system 表のフォルダー | 表のファイル | --reset | --remake\n";

// The package's tables, beside the program's folder as the package installs them.
QString shippedTables() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../../share/vaporica"));
}

QStringList dataFolders() {
    QStringList folders;
    for (const QString &f :
         {fragment::GasNormal, fragment::ReagentNormal, fragment::Equation, fragment::Apparatus,
          fragment::Properties, fragment::RightSound, fragment::QuestionFile})
        folders << QFileInfo(dataPath(QString(), f)).dir().dirName();
    return folders;
}

// What a run says goes to the terminal (or the package manager's output) and into the log, so
// that an IT admin can read later why a PC shows the questions it shows.
class Report {
public:
    explicit Report(const QStringList &arguments) : file_(LogFile) {
        if (file_.open(QIODevice::Append))
            write(QStringLiteral("== %1 vaporica-make-material %2\n")
                      .arg(QDateTime::currentDateTime().toString(Qt::ISODate),
                           arguments.join(QLatin1Char(' ')))
                      .toUtf8());
        else
            std::fprintf(stderr, "vaporica-make-material: %s: 記録を書けません（続けます）\n",
                         qPrintable(LogFile));
    }
    void say(const QString &text) { print(stdout, text); }
    void warn(const QString &text) { print(stderr, text); }
    // Another program's output, line by line as it printed it.
    void pass(const QByteArray &output, FILE *stream) {
        for (const QByteArray &line : output.split('\n'))
            if (!line.isEmpty())
                print(stream, QString::fromUtf8(line));
    }

private:
    void print(FILE *stream, const QString &text) {
        const QByteArray bytes = text.toUtf8() + '\n';
        std::fputs(bytes.constData(), stream);
        std::fflush(stream);
        write(bytes);
    }
    void write(const QByteArray &bytes) {
        if (file_.isOpen()) {
            file_.write(bytes);
            file_.flush();
        }
    }
    QFile file_;
};

struct Source {
    QString name;
    QString path;
    bool shipped;
    QString shownAs; // where the teacher knows the table from
};

// Each table from `preferred` where it holds it, else the package's. `shownAs` names the
// preferred tables in the report when they are not where the teacher put them (a tables file's,
// unpacked).
QList<Source> tablesFrom(const QString &preferred, const QString &shownAs = QString()) {
    QList<Source> sources;
    for (const QString &name : TableNames) {
        const QString own = preferred + '/' + name;
        const bool fromPreferred = !preferred.isEmpty() && QFileInfo(own).isFile();
        const QString path = fromPreferred ? own : shippedTables() + '/' + name;
        sources.append(
            {name, path, !fromPreferred,
             fromPreferred && !shownAs.isEmpty() ? shownAs : QFileInfo(path).absolutePath()});
    }
    return sources;
}

// 「使う表: questions.tsv（/etc/vaporica）、gases.tsv と reagents.tsv（パッケージの表: …）」
QString describe(const QList<Source> &sources) {
    QStringList parts;
    for (const bool shipped : {false, true}) {
        QStringList names;
        QString folder;
        for (const Source &s : sources)
            if (s.shipped == shipped) {
                names << s.name;
                folder = s.shownAs;
            }
        if (!names.isEmpty())
            parts << QStringLiteral("%1（%2%3）")
                         .arg(names.join(QStringLiteral(" と ")),
                              shipped ? QStringLiteral("パッケージの表: ") : QString(), folder);
    }
    return QStringLiteral("使う表: ") + parts.join(QStringLiteral("、"));
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tables are copied first, so that the data and the tables kept are made from the same bytes.
bool copyTables(const QList<Source> &sources, const QString &into, Report &report) {
    for (const Source &s : sources)
        if (!QFile::copy(s.path, into + '/' + s.name)) {
            report.warn(QStringLiteral("%1: 読み込めません").arg(s.path));
            return false;
        }
    return true;
}

// The data made by a plain run of this program into the installed data folder, which it swaps in
// only when everything was written.
bool makeInstalledData(const QString &tables, Report &report) {
    // Qt wants a private runtime folder; sudo and the package manager give none.
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(MakingInstalledData), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (environment.value(QStringLiteral("XDG_RUNTIME_DIR")).isEmpty())
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess run;
    run.setProcessEnvironment(environment);
    run.start(QCoreApplication::applicationFilePath(), {tables, InstalledData});
    const bool finished = run.waitForFinished(-1);
    report.pass(run.readAllStandardOutput(), stdout);
    report.pass(run.readAllStandardError(), stderr);
    if (!finished || run.exitStatus() != QProcess::NormalExit) {
        report.warn(
            QStringLiteral("make-material が途中で止まりました（%1）").arg(run.errorString()));
        return false;
    }
    return run.exitCode() == 0;
}

// Copies `sources` and makes the installed data from them.
bool makeFrom(const QList<Source> &sources, QTemporaryDir &copies, Report &report) {
    report.say(describe(sources));
    return copies.isValid() && copyTables(sources, copies.path(), report) &&
           makeInstalledData(copies.path(), report);
}

// The teacher's tables become the school's: each that differs from the package's is kept in
// /etc/vaporica, and one that is the same is not, so that the package's later corrections reach
// it. Adds the tables kept to `kept`; false when one could not be written or removed.
bool placeSchoolTables(const QString &tables, QStringList &kept, Report &report) {
    if (!QDir().mkpath(SchoolTables)) {
        report.warn(QStringLiteral("%1: フォルダーを作れません").arg(SchoolTables));
        return false;
    }
    for (const QString &name : TableNames) {
        const QByteArray table = contents(tables + '/' + name);
        const QString target = SchoolTables + '/' + name;
        if (table == contents(shippedTables() + '/' + name)) {
            if (QFileInfo::exists(target) && !QFile::remove(target)) {
                report.warn(QStringLiteral("%1: 消せません").arg(target));
                return false;
            }
            continue;
        }
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(table) != table.size() ||
            !file.commit()) {
            report.warn(QStringLiteral("%1: 書けません").arg(target));
            return false;
        }
        kept << target;
    }
    QDir().rmdir(SchoolTables); // only when it is empty: the school has no tables of its own
    return true;
}

bool hasSchoolTables() {
    for (const QString &name : TableNames)
        if (QFileInfo::exists(SchoolTables + '/' + name))
            return true;
    return false;
}

// `shownAs`: the tables file they came from, when they were unpacked from one.
int installTables(const QString &folder, Report &report, const QString &shownAs = QString()) {
    const QString dir = QDir(folder).absolutePath();
    if (!QFileInfo(dir + QStringLiteral("/questions.tsv")).isFile()) {
        report.warn(QStringLiteral("%1: questions.tsv がありません。表のフォルダー（questions.tsv "
                                   "のあるフォルダー）を指定してください")
                        .arg(dir));
        return 1;
    }
    QTemporaryDir copies;
    if (!makeFrom(tablesFrom(dir, shownAs), copies, report)) {
        report.warn(QStringLiteral("このコンピューターの問題は変えていません（データも %1 の表も前"
                                   "のままです）。表を直してから、もう一度実行してください。")
                        .arg(SchoolTables));
        return 1;
    }
    QStringList kept;
    if (!placeSchoolTables(copies.path(), kept, report)) {
        report.warn(QStringLiteral("データは新しい表で作りましたが、表を %1 に置けませんでした。"
                                   "もう一度実行してください。")
                        .arg(SchoolTables));
        return 1;
    }
    if (kept.isEmpty())
        report.say(
            QStringLiteral("表はパッケージのものと同じなので、パッケージの問題を使います（%1 "
                           "に学校の表は置きません）。")
                .arg(SchoolTables));
    else
        report.say(QStringLiteral("このコンピューターの問題を変えました。学校の表: %1。次にメニュー"
                                  "を開いたときから、この問題になります。")
                       .arg(kept.join(QStringLiteral("、"))));
    return 0;
}

// The tables an IT admin copied to this PC in one file (the editor's 「書き出す」): unpacked, then
// installed as a folder's would be; a damaged file changes nothing.
int installTablesFile(const QString &file, Report &report) {
    const QString path = QFileInfo(file).absoluteFilePath();
    QTemporaryDir unpacked;
    try {
        if (!unpacked.isValid())
            throw std::runtime_error(QStringLiteral("%1: 一時フォルダーを作れません")
                                         .arg(unpacked.path())
                                         .toStdString());
        unpackTablesFile(path, unpacked.path());
    } catch (const std::runtime_error &e) {
        report.warn(QString::fromStdString(e.what()));
        report.warn(QStringLiteral("このコンピューターの問題は変えていません。"));
        return 1;
    }
    return installTables(unpacked.path(), report, path);
}

int reset(Report &report) {
    QTemporaryDir copies;
    if (!makeFrom(tablesFrom(QString()), copies, report)) {
        report.warn(QStringLiteral("パッケージの表からデータを作れませんでした。データも学校の表も"
                                   "前のままです。"));
        return 1;
    }
    for (const QString &name : TableNames) {
        const QString table = SchoolTables + '/' + name;
        if (QFileInfo::exists(table) && !QFile::remove(table)) {
            report.warn(QStringLiteral("%1: 消せません").arg(table));
            return 1;
        }
    }
    QDir().rmdir(SchoolTables);
    report.say(QStringLiteral("パッケージの問題に戻しました（%1 に学校の表はありません）。")
                   .arg(SchoolTables));
    return 0;
}

int remake(Report &report) {
    const bool school = hasSchoolTables();
    {
        QTemporaryDir copies;
        if (makeFrom(tablesFrom(school ? SchoolTables : QString()), copies, report))
            return 0;
    }
    const QString again = QStringLiteral("表を直して sudo vaporica-make-material --system "
                                         "表のフォルダー を実行するか、sudo vaporica-make-material "
                                         "--system --reset でパッケージの問題に戻してください。");
    if (QFileInfo::exists(dataPath(InstalledData, fragment::QuestionFile))) {
        report.warn(school ? QStringLiteral("学校の表（%1）からは、この版のヴァポリカのデータを作れ"
                                            "ません（理由は上のとおり）。データは前のまま、前に"
                                            "作った問題のままです。")
                                     .arg(SchoolTables) +
                                 again
                           : QStringLiteral("パッケージの表からデータを作れません（理由は上の"
                                            "とおり）。データは前のままです。"));
        return KeptData;
    }
    if (school) {
        report.warn(QStringLiteral("学校の表（%1）からデータを作れません（理由は上のとおり）。ま"
                                   "だデータがないので、パッケージの表で作ります。")
                        .arg(SchoolTables));
        QTemporaryDir copies;
        if (makeFrom(tablesFrom(QString()), copies, report)) {
            report.warn(QStringLiteral("いまはパッケージの問題です。") + again);
            return KeptData;
        }
    }
    report.warn(QStringLiteral("データを作れませんでした。このままではヴァポリカを使えません。"));
    return 1;
}

} // namespace

bool isSystemRun(int argc, char **argv) {
    return argc >= 2 && std::strcmp(argv[1], "--system") == 0;
}

int runSystem(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2 || (args[1].startsWith('-') && args[1] != QLatin1String("--reset") &&
                             args[1] != QLatin1String("--remake"))) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (geteuid() != 0) {
        std::fprintf(
            stderr,
            "vaporica-make-material: このコンピューターのヴァポリカの問題を変えるには、管理"
            "者の権限が要ります。sudo を付けて実行してください: sudo vaporica-make-material "
            "%s（sudo が使えないときは、IT 担当の先生に頼んでください）\n",
            qPrintable(args.join(QLatin1Char(' '))));
        return 1;
    }
    // Pupils read the data and teachers copy the school's tables, whatever the admin's umask.
    umask(022);
    Report report(args);
    // One run at a time (the package's and a teacher's); a lock is stale only when its run died.
    QLockFile lock(InstalledData + QStringLiteral("/.lock"));
    lock.setStaleLockTime(0);
    if (!QDir().mkpath(InstalledData) || !lock.tryLock(10 * 60 * 1000)) {
        report.warn(QStringLiteral("%1: 使えません（ほかの vaporica-make-material --system が動いて"
                                   "いれば、終わってからもう一度実行してください）")
                        .arg(InstalledData));
        return 1;
    }
    if (args[1] == QLatin1String("--reset"))
        return reset(report);
    if (args[1] == QLatin1String("--remake"))
        return remake(report);
    if (QFileInfo(args[1]).isFile())
        return installTablesFile(args[1], report);
    return installTables(args[1], report);
}

void refuseInstalledData(const QString &root) {
    bool installed = !qEnvironmentVariableIsSet(MakingInstalledData) &&
                     QFileInfo(root).canonicalFilePath() == QDir(InstalledData).canonicalPath() &&
                     QFileInfo::exists(InstalledData);
    for (const QString &folder : dataFolders())
        installed = installed || QFileInfo(root + '/' + folder).isSymLink();
    if (installed)
        throw std::runtime_error(
            QStringLiteral("%1: インストールされたヴァポリカのデータです。ここへは直接書きません（"
                           "次の更新で表と食いちがうため）。このコンピューターの問題を変えるには: "
                           "sudo vaporica-make-material --system 表のフォルダー")
                .arg(root)
                .toStdString());
}

} // namespace vaporica::material
