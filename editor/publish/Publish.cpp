#include "Publish.h"

#include "ApparatusArt.h"
#include "Tables.h"
#include "TablesFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <optional>
#include <stdexcept>

namespace vaporica::editor {

namespace {

// pkexec's own statuses: the password dialog dismissed; not authorised or no authentication.
constexpr int Dismissed = 126;
constexpr int NotAuthorised = 127;
// The helper's refusal of its argument.
constexpr int HelperRefused = 2;

const QString TryAgainOrAsk =
    QStringLiteral("管理者のパスワードを入れてもう一度「全員に配布」を押すか、「書き出す」で作った"
                   "ファイルを IT 担当の先生に渡してください。");

PublishOutcome failed(const QString &message) {
    return {false, message};
}

// The tables as the generator would take them: no error, or the first one, named.
std::optional<QString> firstError(const QString &tablesDir) {
    const material::LoadedTables loaded = material::loadTables(tablesDir, setupNumbers());
    for (const material::Finding &f : loaded.findings)
        if (f.severity == material::Severity::Error)
            return QStringLiteral("%1: 表にエラーが %2 件あります（%3）。直して保存してから、もう一"
                                  "度押してください。")
                .arg(tablesDir)
                .arg(material::errorCount(loaded.findings))
                .arg(material::reportLine(f));
    return std::nullopt;
}

std::optional<QString> unusableFolder(const QString &tablesDir) {
    if (!QFileInfo(tablesDir).isDir())
        return QStringLiteral("%1: 表のフォルダーがありません。先に「保存」してください。")
            .arg(tablesDir);
    if (!QFileInfo(QDir(tablesDir).filePath(material::QuestionsTable)).isFile())
        return QStringLiteral("%1: questions.tsv がありません。先に「保存」してください。")
            .arg(tablesDir);
    return firstError(tablesDir);
}

struct Finished {
    bool started = false, inTime = false, crashed = false;
    int status = -1;
    QString said; // both streams, as the helper wrote them
};

// Runs the program with an event loop of its own, so that the editor's window keeps drawing
// while the password is asked, but takes no input; never longer than `timeoutMs`.
Finished runBounded(const QString &program, const QStringList &arguments, int timeoutMs) {
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    Finished result;
    process->start(program, arguments);
    if (process->state() != QProcess::NotRunning) {
        timer.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    result.started = process->error() != QProcess::FailedToStart;
    result.inTime = process->state() == QProcess::NotRunning;
    result.crashed = process->exitStatus() == QProcess::CrashExit;
    result.status = process->exitCode();
    result.said = QString::fromUtf8(process->readAll()).trimmed();
    if (result.inTime) {
        delete process;
    } else {
        // A process run as root may not take the user's signal: it is left to end on its own,
        // and nobody waits for it.
        process->kill();
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    }
    return result;
}

// What the helper said, without pkexec's own English lines.
QString helperWords(const QString &said) {
    QStringList lines;
    for (const QString &line : said.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1String("Error executing command")) &&
            !line.startsWith(QLatin1String("Request dismissed")) &&
            !line.startsWith(QLatin1String("Not authorized")))
            lines << line;
    return lines.join(QLatin1Char('\n'));
}

PublishOutcome outcomeOf(const Finished &run, const QString &tablesDir, const PrivilegedRun &how) {
    if (!run.started)
        return failed(QStringLiteral("%1 を起動できません。IT 担当の先生に、sudo vaporica-make-"
                                     "material --system %2 を実行してもらってください。")
                          .arg(how.pkexec, tablesDir));
    if (!run.inTime)
        return failed(
            QStringLiteral("%1: 全員への配布が %2 分たっても終わらないので、待つのをやめました。"
                           "このコンピューターの問題が変わったかどうかは、ヴァポリカを開いて確か"
                           "めてください。")
                .arg(tablesDir)
                .arg(how.timeoutMs / 60000.0));
    if (run.crashed)
        return failed(QStringLiteral("%1: 全員への配布が途中で止まりました。このコンピューターの"
                                     "問題は前のままのはずです。もう一度押してください。")
                          .arg(tablesDir));
    const QString words = helperWords(run.said);
    switch (run.status) {
    case 0:
        return {true, QStringLiteral("%1 の表を、このコンピューターの全員の問題にしました。次にヴァ"
                                     "ポリカを開いたときから、この問題になります。")
                          .arg(tablesDir)};
    case Dismissed:
        return failed(QStringLiteral("管理者のパスワードが必要です。パスワードの入力が取り消された"
                                     "ので、このコンピューターの問題は変えていません（表: %1）。")
                          .arg(tablesDir) +
                      TryAgainOrAsk);
    case NotAuthorised:
        return failed(QStringLiteral("管理者のパスワードが必要です。パスワードが確かめられなかった"
                                     "か、この利用者には管理者の権限がないので、このコンピューター"
                                     "の問題は変えていません（表: %1）。")
                          .arg(tablesDir) +
                      TryAgainOrAsk);
    case HelperRefused:
        return failed(QStringLiteral("%1: 配布できませんでした。\n%2").arg(tablesDir, words));
    default:
        return failed(QStringLiteral("%1: 配布できませんでした。このコンピューターの問題は前のまま"
                                     "です。\n%2")
                          .arg(tablesDir, words));
    }
}

} // namespace

PrivilegedRun installedPrivilegedRun() {
    // The package installs the helper beside the editor; its polkit action names it there.
    return {QStandardPaths::findExecutable(QStringLiteral("pkexec")),
            QCoreApplication::applicationDirPath() + QStringLiteral("/vaporica-publish")};
}

PublishOutcome publishForEveryone(const QString &tablesDir) {
    return publishForEveryone(tablesDir, installedPrivilegedRun());
}

PublishOutcome publishForEveryone(const QString &tablesDir, const PrivilegedRun &how) {
    const QString dir = QFileInfo(tablesDir).absoluteFilePath();
    if (const std::optional<QString> problem = unusableFolder(dir))
        return failed(*problem);
    if (how.pkexec.isEmpty())
        return failed(QStringLiteral("このコンピューターには pkexec（管理者のパスワードを聞くしく"
                                     "み）がないので、ここからは配布できません。IT 担当の先生に、"
                                     "sudo vaporica-make-material --system %1 を実行してもらうか、"
                                     "pkexec を入れてもらってください。")
                          .arg(dir));
    if (!QFileInfo(how.helper).isExecutable())
        return failed(QStringLiteral("%1 がありません。「全員に配布」は、パッケージでインストール"
                                     "したヴァポリカで使えます。IT 担当の先生に、sudo vaporica-"
                                     "make-material --system %2 を実行してもらってください。")
                          .arg(how.helper, dir));
    return outcomeOf(runBounded(how.pkexec, {how.helper, dir}, how.timeoutMs), dir, how);
}

PublishOutcome exportTables(const QString &tablesDir, const QString &file) {
    const QString dir = QFileInfo(tablesDir).absoluteFilePath();
    if (const std::optional<QString> problem = unusableFolder(dir))
        return failed(*problem);
    try {
        material::writeTablesFile(dir, file);
    } catch (const std::runtime_error &e) {
        return failed(QString::fromStdString(e.what()));
    }
    return {true, QStringLiteral("書き出しました: %1\nこのファイルを教室の各コンピューターにコピー"
                                 "して、それぞれで sudo vaporica-make-material --system %2 を実行"
                                 "してください（先生用の手引きに手順があります）。")
                      .arg(QFileInfo(file).absoluteFilePath(), QFileInfo(file).fileName())};
}

} // namespace vaporica::editor
