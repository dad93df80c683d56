// The Debian package made from the build and gone through as a school in Japan would, in the
// ja_JP.UTF-8 locale: installed with apt-get, the installed program started from its desktop entry
// in a private X server and quit, the question editor opened; the teacher's tools run; as a
// teacher without root, question 3 changed in a copy of the tables and tried, then installed as
// root with `vaporica-make-material --system`, through the editor's publishing helper, and from
// one exported tables file as a lab's admin would; reinstalled, upgraded to a version whose shipped
// tables differ, back to the shipped questions, upgraded to a version that refuses the school's
// table; lintian; removed and purged; and finally upgraded from the layout of 0.1 (configuration
// files, an edited bank). Every apt-get run is non-interactive with no display: a question would
// fail it.
//
// One journey on the machine's package manager: the cases run in the order written, each on the
// state the one before left, in one process. Whatever happens, the package (and anything its
// installation pulled in) is purged when the cases end. Skipped without package-manager rights,
// and where a vaporica package or its configuration is already on the machine, which the journey
// would overwrite.

#include "Commands.h"
#include "ProgramRun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <optional>
#include <pthread.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vaporica::e2e;

const QString AppId = QStringLiteral(VAPORICA_APP_ID);
const QString EditorId = QStringLiteral(VAPORICA_EDITOR_ID);
const QString Data = QStringLiteral("/usr/lib/vaporica");
const QString Made = QStringLiteral("/var/lib/vaporica");
const QString School = QStringLiteral("/etc/vaporica");
const QString Examples = QStringLiteral("/usr/share/doc/vaporica/examples");
const QString Shipped = QStringLiteral("/usr/share/vaporica");
const QString Guide = QStringLiteral("/usr/share/doc/vaporica/teacher-guide.html");
const QString Helper = Data + QStringLiteral("/vaporica-publish");
const QString Policy =
    QStringLiteral("/usr/share/polkit-1/actions/io.github.vaporica.publish.policy");
const QString MakeLog = QStringLiteral("/var/log/vaporica.log");
// Another run on the machine (another build tree) would purge the package under this one.
const char *const LockFile = "/tmp/vaporica-package-test.lock";
constexpr int LockWaitS = 900;
constexpr uid_t Nobody = 65534;

// The package's control file with another version. Empty when written.
QString setVersion(const QString &tree, const QString &version) {
    const QString control = tree + QStringLiteral("/DEBIAN/control");
    QFile file(control);
    if (!file.open(QIODevice::ReadWrite))
        return control + QStringLiteral(": ") + file.errorString();
    const QString text = QString::fromUtf8(file.readAll())
                             .replace(QRegularExpression(QStringLiteral("(?m)^Version: .*$")),
                                      QStringLiteral("Version: ") + version);
    file.resize(0);
    return file.write(text.toUtf8()) < 0 ? file.errorString() : QString();
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
std::string shownFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path.toStdString() + ": " + file.errorString().toStdString();
    return file.readAll().left(4000).toStdString();
}
bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}
bool hasLine(const QString &path, const QByteArray &line) {
    return contents(path).split('\n').contains(line);
}
QByteArray lineOf(const QString &path, int number) {
    return contents(path).split('\n').value(number - 1);
}
bool sameFile(const QString &a, const QString &b) {
    return QFileInfo::exists(a) && QFileInfo::exists(b) && contents(a) == contents(b);
}
bool exists(const QString &path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path.toStdString(), error));
}
QString linkTarget(const QString &path) {
    std::error_code error;
    return QString::fromStdString(std::filesystem::read_symlink(path.toStdString(), error));
}
// What `ls` shows of a folder, in order.
QStringList listed(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                  QDir::Name);
}

// Every file under the made data with its MD5: whether a refused run changed any.
QMap<QString, QByteArray> snapshot() {
    QMap<QString, QByteArray> sums;
    QDirIterator files(Made, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        sums.insert(path, QCryptographicHash::hash(contents(path), QCryptographicHash::Md5));
    }
    return sums;
}

// What a query prints, without what it says on stderr (dpkg-query's "no packages found").
QString answer(const QStringList &query) {
    return QString::fromUtf8(run(query, Streams::AnswerOnly).out).trimmed();
}
QString packageState() {
    return answer({QStringLiteral("dpkg-query"), QStringLiteral("-W"),
                   QStringLiteral("-f=${db:Status-Abbrev}"), QStringLiteral("vaporica")})
        .remove(QLatin1Char(' '));
}
bool packageGone() {
    const QString state = packageState();
    return state.isEmpty() || state == QStringLiteral("un");
}
QString packageVersion() {
    return answer({QStringLiteral("dpkg-query"), QStringLiteral("-W"),
                   QStringLiteral("-f=${Version}"), QStringLiteral("vaporica")});
}
QSet<QString> installedPackages() {
    QSet<QString> installed;
    const QString listed =
        answer({QStringLiteral("dpkg-query"), QStringLiteral("-W"),
                QStringLiteral("-f=${db:Status-Abbrev} ${Package}:${Architecture}\\n")});
    for (const QString &line : listed.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("ii ")))
            installed.insert(line.split(QLatin1Char(' ')).last());
    return installed;
}
bool hasJapaneseLocale() {
    const QString locales =
        QString::fromUtf8(run({QStringLiteral("locale"), QStringLiteral("-a")}).out);
    return locales.contains(QRegularExpression(QStringLiteral("^ja_JP\\.utf-?8$"),
                                               QRegularExpression::MultilineOption |
                                                   QRegularExpression::CaseInsensitiveOption));
}
// The command a desktop entry's first Exec line runs, split into words.
QStringList execLine(const QString &entry) {
    for (const QByteArray &line : contents(entry).split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return {};
}

// Everything the journey's cases share: made once, before the first.
struct Journey {
    QString skip;   // why nothing is tried here
    QString broken; // why nothing can be tried: the packages were not made or installed
    QStringList asRoot;
    int lock = -1;
    std::optional<QTemporaryDir> work;
    QString deb, upgrade, refusing, old, version;
    QStringList folders; // the data folders that the package links to the made data
    QSet<QString> before;
    QStringList pulledIn;
    QString teacherHome;
    QStringList asTeacher;
    QString tables, tried;
    QByteArray aptLog;
    QByteArray schoolTable; // the school's table once the teacher's was installed
    QElapsedTimer clock;

    QString at(const QString &name) const { return work->filePath(name); }
    // As root, in the test's locale; sudo would drop the environment.
    QStringList asAdmin(const QStringList &command) const {
        return asRoot + QStringList{QStringLiteral("env"), QStringLiteral("LC_ALL=") + Locale} +
               command;
    }
    // apt-get without questions and without a display; its output kept for the checks after.
    QStringList aptGetCommand(const QStringList &arguments) const {
        return asAdmin(QStringList{QStringLiteral("DEBIAN_FRONTEND=noninteractive"),
                                   QStringLiteral("env"), QStringLiteral("-u"),
                                   QStringLiteral("DISPLAY"), QStringLiteral("-u"),
                                   QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("-u"),
                                   QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("apt-get"),
                                   QStringLiteral("-y"), QStringLiteral("-q"),
                                   QStringLiteral("--no-install-recommends"), QStringLiteral("-o"),
                                   QStringLiteral("DPkg::Lock::Timeout=300")} +
                       arguments);
    }
    Ran aptGet(const QStringList &arguments) {
        const Ran ran = run(aptGetCommand(arguments));
        aptLog = ran.out;
        return ran;
    }
    Ran teacher(const QStringList &command) const { return run(asTeacher + command); }
    Ran admin(const QStringList &command) const { return run(asAdmin(command)); }
};

Journey &journey() {
    static Journey shared;
    return shared;
}

// An interrupt (Ctrl-C, a SIGTERM) must not leave the package behind either: the commands that
// purge it and remove the scratch folder are made ready beforehand, and the handler only forks,
// runs each and waits.
struct Command {
    std::vector<std::string> words;
    std::vector<char *> argv;
    explicit Command(const QStringList &command) {
        for (const QString &word : command)
            words.push_back(word.toStdString());
        words[0] = QStandardPaths::findExecutable(command[0]).toStdString();
        for (std::string &word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
    }
};
std::vector<Command> onInterrupt;

void cleanUpAndEnd(int signal) {
    for (const Command &command : onInterrupt) {
        const pid_t pid = fork();
        if (pid == 0) {
            execv(command.argv[0], command.argv.data());
            _exit(127);
        }
        if (pid > 0)
            waitpid(pid, nullptr, 0);
    }
    _exit(128 + signal);
}

// From now on an interrupt purges these packages; none: an interrupt just ends the test.
void purgeOnInterrupt(const Journey &j, const QStringList &packages) {
    sigset_t all, was;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &was);
    onInterrupt.clear();
    if (!packages.isEmpty()) {
        onInterrupt.emplace_back(j.aptGetCommand(QStringList{QStringLiteral("purge")} + packages));
        onInterrupt.emplace_back(
            QStringList{QStringLiteral("rm"), QStringLiteral("-rf"), j.work->path()});
    }
    struct sigaction on = {};
    on.sa_handler = packages.isEmpty() ? SIG_DFL : cleanUpAndEnd;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &on, nullptr);
    pthread_sigmask(SIG_SETMASK, &was, nullptr);
}

bool takeLock(Journey &j) {
    j.lock = open(LockFile, O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (j.lock < 0)
        return false;
    QElapsedTimer waited;
    waited.start();
    while (flock(j.lock, LOCK_EX | LOCK_NB) != 0) {
        if (waited.elapsed() > LockWaitS * 1000)
            return false;
        QThread::msleep(500);
    }
    return true;
}

// A copy of a package with another version and, optionally, one shipped table edited by a sed
// script (in the package's tables and in their copies among the examples). Empty when made.
QString repack(const Journey &j, const QString &package, const QString &version,
               const QString &output, const QString &table = {}, const QString &edit = {}) {
    const QString tree = j.at(QStringLiteral("repack"));
    QDir(tree).removeRecursively();
    Ran ran = run({QStringLiteral("dpkg-deb"), QStringLiteral("-R"), package, tree});
    if (ran.status != 0)
        return QString::fromStdString(ran.shown());
    const QString versioned = setVersion(tree, version);
    if (!versioned.isEmpty())
        return versioned;
    if (!table.isEmpty()) {
        for (const QString &copy :
             {tree + QStringLiteral("/usr/share/vaporica/") + table,
              tree + QStringLiteral("/usr/share/doc/vaporica/examples/") + table}) {
            const QByteArray was = contents(copy);
            ran = run({QStringLiteral("sed"), QStringLiteral("-i"), edit, copy});
            if (ran.status != 0 || contents(copy) == was)
                return copy + QStringLiteral(" is not changed by ") + edit + QLatin1Char('\n') +
                       QString::fromUtf8(ran.out);
        }
    }
    ran = run({QStringLiteral("dpkg-deb"), QStringLiteral("--root-owner-group"),
               QStringLiteral("-Zgzip"), QStringLiteral("-b"), tree, output});
    return ran.status == 0 ? QString() : QString::fromStdString(ran.shown());
}

// The layout of 0.1: the data folders real folders, the bank and its answers configuration files
// in /etc/vaporica, no maintainer scripts. Empty when made.
QString makeOldPackage(Journey &j) {
    const QString tree = j.at(QStringLiteral("old"));
    Ran ran = run({QStringLiteral("dpkg-deb"), QStringLiteral("-R"), j.deb, tree});
    if (ran.status != 0)
        return QString::fromStdString(ran.shown());
    const QString versioned = setVersion(tree, QStringLiteral("0.1"));
    if (!versioned.isEmpty())
        return versioned;
    const QString lib = tree + QStringLiteral("/usr/lib/vaporica");
    for (const QString &name :
         QDir(lib).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (linkTarget(lib + QLatin1Char('/') + name).startsWith(Made + QLatin1Char('/')))
            j.folders << name;
    }
    std::error_code error;
    for (const QString &folder : j.folders) {
        const std::string inside = (lib + QLatin1Char('/') + folder).toStdString();
        std::filesystem::remove(inside, error);
        std::filesystem::copy(QStringLiteral(VAPORICA_BUILD_DIR "/%1").arg(folder).toStdString(),
                              inside, std::filesystem::copy_options::recursive, error);
        if (error)
            return QStringLiteral("cannot copy the built %1: ").arg(folder) +
                   QString::fromStdString(error.message());
    }
    QDir().mkpath(tree + QStringLiteral("/etc/vaporica"));
    QByteArray conffiles = contents(tree + QStringLiteral("/DEBIAN/conffiles"));
    for (const QString &name : {QStringLiteral("mondai.txt"), QStringLiteral("taiou.txt")}) {
        const QString inData = lib + QStringLiteral("/説明/") + name;
        if (!QFile::rename(inData, tree + QStringLiteral("/etc/vaporica/") + name))
            return QStringLiteral("cannot move ") + inData + QStringLiteral(" to /etc/vaporica");
        std::filesystem::create_symlink((School + QLatin1Char('/') + name).toStdString(),
                                        inData.toStdString(), error);
        if (error)
            return QStringLiteral("cannot link ") + inData + QStringLiteral(": ") +
                   QString::fromStdString(error.message());
        conffiles += (School + QLatin1Char('/') + name).toUtf8() + '\n';
    }
    writeFile(tree + QStringLiteral("/DEBIAN/conffiles"), conffiles);
    for (const char *script : {"preinst", "postinst", "postrm", "md5sums"})
        QFile::remove(tree + QStringLiteral("/DEBIAN/") + QLatin1String(script));
    ran = run({QStringLiteral("dpkg-deb"), QStringLiteral("--root-owner-group"),
               QStringLiteral("-Zgzip"), QStringLiteral("-b"), tree, j.old});
    return ran.status == 0 ? QString() : QString::fromStdString(ran.shown());
}

// Why the journey cannot begin here, or nothing.
QString skipReason(Journey &j) {
    if (geteuid() != 0) {
        if (run({QStringLiteral("sudo"), QStringLiteral("-n"), QStringLiteral("true")}).status != 0)
            return QStringLiteral("no package-manager rights (not root, and sudo asks for a "
                                  "password): the package is not installed");
        j.asRoot = {QStringLiteral("sudo"), QStringLiteral("-n")};
    }
    if (!takeLock(j)) {
        j.broken = QStringLiteral("another package test has held the machine's package for %1 "
                                  "minutes (%2)")
                       .arg(LockWaitS / 60)
                       .arg(QLatin1String(LockFile));
        return {};
    }
    if (!packageGone())
        return QStringLiteral("a vaporica package is on this machine (%1); the test would replace "
                              "it and its questions")
            .arg(packageState());
    for (const QString &left : {School, Made})
        if (exists(left))
            return left + QStringLiteral(" is on this machine; the test would replace it");
    return {};
}

// The teacher: nobody when the test runs as root, else the user running it; a home of their own.
void makeTeacher(Journey &j) {
    j.teacherHome = j.at(QStringLiteral("teacher"));
    QDir().mkpath(j.teacherHome + QStringLiteral("/.run"));
    chmod(j.teacherHome.toLocal8Bit().constData(), 0700);
    chmod((j.teacherHome + QStringLiteral("/.run")).toLocal8Bit().constData(), 0700);
    j.asTeacher = {QStringLiteral("env"), QStringLiteral("HOME=") + j.teacherHome,
                   QStringLiteral("XDG_RUNTIME_DIR=") + j.teacherHome + QStringLiteral("/.run")};
    if (geteuid() == 0) {
        for (const QString &path : {j.teacherHome, j.teacherHome + QStringLiteral("/.run")})
            (void)!chown(path.toLocal8Bit().constData(), Nobody, Nobody);
        j.asTeacher =
            QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")} +
            j.asTeacher;
    }
    j.tables = j.teacherHome + QStringLiteral("/教材");
    j.tried = j.teacherHome + QStringLiteral("/新しいデータ");
}

// The package, and copies of it: a later version whose shipped question 3 reads differently; a
// later one still whose gas table no longer lets oxygen be collected over water (every table that
// does, a school's too, is refused); and the layout of 0.1, for the move from it. Then the package
// installed as the school's staff would, with whatever it depends on. Empty when done.
QString makeAndInstall(Journey &j) {
    Ran ran = run({QStringLiteral("cpack"), QStringLiteral("--config"),
                   QStringLiteral(VAPORICA_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                   j.at(QStringLiteral("package"))});
    if (ran.status != 0)
        return QStringLiteral("cpack:\n") + QString::fromStdString(ran.shown());
    const QStringList debs = QDir(j.at(QStringLiteral("package")))
                                 .entryList({QStringLiteral("vaporica_*_amd64.deb")}, QDir::Files);
    if (debs.size() != 1)
        return QStringLiteral("cpack made no package:\n") + QString::fromStdString(ran.shown());
    j.deb = j.at(QStringLiteral("package/") + debs.first());
    const auto field = [&](const char *name) {
        return answer(
            {QStringLiteral("dpkg-deb"), QStringLiteral("-f"), j.deb, QLatin1String(name)});
    };
    j.version = field("Version");
    j.upgrade = j.at(QStringLiteral("vaporica_%1+1_amd64.deb").arg(j.version));
    j.refusing = j.at(QStringLiteral("vaporica_%1+2_amd64.deb").arg(j.version));
    j.old = j.at(QStringLiteral("vaporica_0.1_amd64.deb"));
    QString failed = repack(j, j.deb, j.version + QStringLiteral("+1"), j.upgrade,
                            QStringLiteral("questions.tsv"),
                            QStringLiteral("/^3\\t/s/水に溶けにくい→水上置換\\t/"
                                           "水に溶けにくく軽い→水上置換\\t/"));
    if (!failed.isEmpty())
        return QStringLiteral("no upgrade package: ") + failed;
    failed =
        repack(j, j.deb, j.version + QStringLiteral("+2"), j.refusing, QStringLiteral("gases.tsv"),
               QStringLiteral("/^1\\t酸素\\t/s/\\t水上置換\\t/\\t下方置換\\t/"));
    if (!failed.isEmpty())
        return QStringLiteral("no upgrade package that refuses the school's table: ") + failed;
    failed = makeOldPackage(j);
    if (!failed.isEmpty())
        return QStringLiteral("no package in the layout of 0.1: ") + failed;
    std::cout << "package: " << QFileInfo(j.deb).fileName().toStdString() << ", "
              << QFileInfo(j.deb).size() / 1024 << " KiB, installed "
              << field("Installed-Size").toStdString()
              << " KiB\ndepends: " << field("Depends").toStdString()
              << "; recommends: " << field("Recommends").toStdString() << std::endl;

    j.before = installedPackages();
    purgeOnInterrupt(j, {QStringLiteral("vaporica")});
    ran = j.aptGet({QStringLiteral("install"), j.deb});
    for (const QString &package : installedPackages() - j.before)
        if (!package.startsWith(QStringLiteral("vaporica:")))
            j.pulledIn << package;
    purgeOnInterrupt(j, QStringList{QStringLiteral("vaporica")} + j.pulledIn);
    if (ran.status != 0)
        return QStringLiteral("apt-get install ./") + QFileInfo(j.deb).fileName() +
               QLatin1Char('\n') + QString::fromStdString(ran.shown());
    if (!j.pulledIn.isEmpty())
        std::cout << "note: the installation pulled in "
                  << j.pulledIn.join(QLatin1Char(' ')).toStdString() << "; removed at the end"
                  << std::endl;
    return {};
}

class Package : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Journey &j = journey();
        j.clock.start();
        j.skip = skipReason(j);
        if (!j.skip.isEmpty() || !j.broken.isEmpty())
            return;
        if (!hasJapaneseLocale()) {
            j.broken = QStringLiteral("no ja_JP.UTF-8 locale (tools/install-deps generates it)");
            return;
        }
        qputenv("LC_ALL", Locale.toUtf8());
        j.work.emplace(QDir::tempPath() + QStringLiteral("/vaporica-package.XXXXXX"));
        if (!j.work->isValid()) {
            j.broken = QStringLiteral("no scratch folder: ") + j.work->errorString();
            return;
        }
        chmod(j.work->path().toLocal8Bit().constData(), 0711); // the teacher reaches their own
        makeTeacher(j);
        j.broken = makeAndInstall(j);
    }

    // The machine left as it was, whatever failed.
    static void TearDownTestSuite() {
        Journey &j = journey();
        if (j.work) {
            if (!packageGone()) {
                EXPECT_TRUE(
                    ended(j.aptGet({QStringLiteral("purge"), QStringLiteral("vaporica")}), 0))
                    << "the package is left on this machine";
            }
            if (!j.pulledIn.isEmpty()) {
                EXPECT_TRUE(ended(j.aptGet(QStringList{QStringLiteral("purge")} + j.pulledIn), 0))
                    << "what the installation pulled in is left on this machine";
            }
            purgeOnInterrupt(j, {});
            j.work.reset();
            std::cout << "package test: " << j.clock.elapsed() / 1000 << " s" << std::endl;
        }
        if (j.lock >= 0)
            close(j.lock);
    }

    void SetUp() override {
        if (!journey().skip.isEmpty())
            GTEST_SKIP() << "package test skipped: " << journey().skip.toStdString();
        ASSERT_TRUE(journey().broken.isEmpty()) << journey().broken.toStdString();
    }

    Journey &j = journey();

    // Question 3 on this computer is the one a made folder holds: its record, equation picture
    // and words and its own set-up picture.
    static testing::AssertionResult question3Is(const QString &made) {
        bool same = lineOf(Made + QStringLiteral("/説明/mondai.txt"), 3) ==
                    lineOf(made + QStringLiteral("/説明/mondai.txt"), 3);
        for (const QString &file :
             {QStringLiteral("反応式/siki(3).gif"), QStringLiteral("反応式/siki(3).txt"),
              QStringLiteral("装置/souti(103).gif")})
            same = same && sameFile(Data + QLatin1Char('/') + file, made + QLatin1Char('/') + file);
        if (same)
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "question 3 is not the one in " << made.toStdString() << " ("
               << lineOf(Made + QStringLiteral("/説明/mondai.txt"), 3).toStdString() << ", "
               << shownFile(Data + QStringLiteral("/反応式/siki(3).txt")) << ")";
    }
};

// The package holds no configuration file; the data folders beside the program lead to the data
// made in /var/lib; the desktop entries, the guide, the tables and the icons are where the
// desktop and the path look for them.
TEST_F(Package, InstallsItsLayoutWhereTheDesktopAndThePathLookForIt) {
    EXPECT_EQ(j.folders.size(), 7) << "the package links these data folders to /var/lib/vaporica: "
                                   << j.folders.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QStandardPaths::findExecutable(QStringLiteral("vaporica")).toStdString(),
              "/usr/bin/vaporica")
        << "vaporica is not on the path";
    for (const QString &folder : j.folders)
        EXPECT_TRUE(linkTarget(Data + QLatin1Char('/') + folder) ==
                        Made + QLatin1Char('/') + folder &&
                    QFileInfo(Made + QLatin1Char('/') + folder).isDir())
            << Data.toStdString() << '/' << folder.toStdString()
            << " does not lead to the made folder /var/lib/vaporica/" << folder.toStdString();
    const QString conffiles =
        answer({QStringLiteral("dpkg-query"), QStringLiteral("-W"),
                QStringLiteral("-f=${Conffiles}"), QStringLiteral("vaporica")});
    EXPECT_TRUE(conffiles.isEmpty())
        << "the package has configuration files: " << conffiles.toStdString();
    EXPECT_FALSE(exists(School)) << "installing made /etc/vaporica";
    for (const QString &file :
         {Data + QStringLiteral("/装置/souti(4).gif"), Guide,
          QStringLiteral("/usr/share/doc/vaporica/setup-drawings.png"),
          QStringLiteral("/usr/share/man/ja/man1/vaporica-make-material.1.gz"),
          Shipped + QStringLiteral("/questions.tsv"), Examples + QStringLiteral("/README.md")})
        EXPECT_GT(QFileInfo(file).size(), 0) << "not installed: " << file.toStdString();
    EXPECT_TRUE(contents(Guide).contains("src=\"setup-drawings.png\""))
        << "the guide does not show the set-up drawings";
    const QString entry = QStringLiteral("/usr/share/applications/%1.desktop").arg(AppId);
    EXPECT_TRUE(hasLine(entry, "StartupWMClass=vaporica"))
        << "no StartupWMClass in the desktop entry:\n"
        << shownFile(entry);
    EXPECT_TRUE(hasLine(entry, "Exec=vaporica --guide"))
        << "no action for the guide in the desktop entry:\n"
        << shownFile(entry);
}

// The question editor: on the path, beside the program, in the menu with its own icon; its
// publishing helper and the polkit action that lets pkexec run it, asking the password once.
TEST_F(Package, InstallsTheEditorInTheMenuWithItsPublishingHelperAndPolkitAction) {
    EXPECT_TRUE(QStandardPaths::findExecutable(QStringLiteral("vaporica-editor")) ==
                    QStringLiteral("/usr/bin/vaporica-editor") &&
                QFileInfo(Data + QStringLiteral("/vaporica-editor")).isExecutable())
        << "vaporica-editor is not installed beside the program and on the path";
    const QString entry = QStringLiteral("/usr/share/applications/%1.desktop").arg(EditorId);
    for (const QByteArray &line :
         {QByteArray("Name=ヴァポリカ 問題の編集"), QByteArray("Exec=vaporica-editor"),
          "Icon=" + EditorId.toUtf8(), QByteArray("Categories=Education;Chemistry;")})
        EXPECT_TRUE(hasLine(entry, line))
            << "the editor's desktop entry is not as the menu wants it, no line "
            << line.toStdString() << ":\n"
            << shownFile(entry);
    for (int size : {16, 32, 48})
        EXPECT_GT(QFileInfo(QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/%2.png")
                                .arg(size)
                                .arg(EditorId))
                      .size(),
                  0)
            << "no " << size << " px icon for the editor";
    EXPECT_TRUE(QFileInfo(Helper).isExecutable()) << "not installed: " << Helper.toStdString();
    const QString policy = QString::fromUtf8(contents(Policy));
    EXPECT_TRUE(
        policy.contains(
            QStringLiteral("<annotate key=\"org.freedesktop.policykit.exec.path\">%1</annotate>")
                .arg(Helper)) &&
        policy.contains(QStringLiteral("<allow_active>auth_admin_keep</allow_active>")) &&
        policy.contains(QRegularExpression(
            QStringLiteral("<message xml:lang=\"ja\">.*管理者のパスワードが必要です</message>"))))
        << "the polkit action does not let pkexec run " << Helper.toStdString() << " once asked:\n"
        << shownFile(Policy);
    if (!QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty()) {
        EXPECT_TRUE(ended(run({QStringLiteral("xmllint"), QStringLiteral("--noout"), Policy}), 0))
            << "the polkit action is no well-formed XML";
    }
    // polkit's own reading of the action, where polkit runs (a container may have no system bus).
    if (!QStandardPaths::findExecutable(QStringLiteral("pkaction")).isEmpty()) {
        const Ran action =
            run({QStringLiteral("pkaction"), QStringLiteral("--action-id"),
                 QStringLiteral("io.github.vaporica.publish"), QStringLiteral("--verbose")});
        if (action.out.contains("Error getting authority"))
            std::cout << "note: polkit is not running here; its reading of the action is not tried"
                      << std::endl;
        else
            EXPECT_TRUE(QString::fromUtf8(action.out)
                            .contains(QRegularExpression(
                                QStringLiteral("implicit active: .*auth_admin_keep"),
                                QRegularExpression::DotMatchesEverythingOption)))
                << "polkit does not know the publishing action:\n"
                << action.shown();
    }
}

// The installed program, started as the desktop menu starts it, shows its menu and the gas quiz
// (which loads the sound module), and quits by its button.
TEST_F(Package, StartedFromItsDesktopEntryShowsTheGasQuizWithSoundAndQuits) {
    const QStringList command =
        execLine(QStringLiteral("/usr/share/applications/%1.desktop").arg(AppId));
    ASSERT_FALSE(command.isEmpty()) << "no Exec line in the desktop entry";
    XServer server(j.work->path(), QSize(1024, 768));
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    const QProcessEnvironment env = server.environment();
    ProgramRun program(command.first(), QStringLiteral("/"), env, command.mid(1));
    const QString menu = program.window(QStringLiteral("メニュー"), 2 * StartTimeoutMs);
    ASSERT_FALSE(menu.isEmpty()) << "\"" << command.join(QLatin1Char(' ')).toStdString()
                                 << "\" from the desktop entry showed no menu:\n"
                                 << program.errShown();
    program.click(menu, MenuQuiz);
    const QString quiz = program.window(GasQuizCaption, 2 * StartTimeoutMs);
    ASSERT_FALSE(quiz.isEmpty()) << "the installed program showed no gas quiz:\n"
                                 << program.errShown();

    QProcess xprop;
    xprop.setProcessEnvironment(env);
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), quiz, QStringLiteral("WM_CLASS")});
    xprop.waitForFinished(10000);
    const QString wmClass = QString::fromUtf8(xprop.readAll());
    EXPECT_EQ(QRegularExpression(QStringLiteral("= \"([^\"]*)\""))
                  .match(wmClass)
                  .captured(1)
                  .toStdString(),
              "vaporica")
        << "the window's class is not vaporica: " << wmClass.toStdString();

    program.click(quiz, QuizQuit);
    ASSERT_TRUE(program.finish(10000)) << "the installed program did not quit by its button";
    EXPECT_TRUE(program.process().exitStatus() == QProcess::NormalExit &&
                program.process().exitCode() == 0)
        << "the installed program ended with status " << program.process().exitCode() << ":\n"
        << program.errShown();
    const QString said = QString::fromUtf8(program.err());
    EXPECT_FALSE(said.contains(QStringLiteral("実行時エラー")) ||
                 said.contains(QStringLiteral("音を鳴らせません")))
        << "the installed program reported:\n"
        << program.errShown();
}

// The editor, started as its desktop entry starts it, shows its window.
TEST_F(Package, TheEditorStartedFromItsDesktopEntryShowsItsWindow) {
    const QStringList command =
        execLine(QStringLiteral("/usr/share/applications/%1.desktop").arg(EditorId));
    ASSERT_FALSE(command.isEmpty()) << "no Exec line in the editor's desktop entry";
    XServer server(j.work->path(), QSize(1024, 768));
    ASSERT_FALSE(server.display().isEmpty()) << "Xvfb did not start";
    ProgramRun editor(command.first(), QStringLiteral("/"), server.environment(), command.mid(1));
    EXPECT_FALSE(
        editor.window(QStringLiteral("ヴァポリカ 問題の編集.*"), 2 * StartTimeoutMs).isEmpty())
        << "\"" << command.join(QLatin1Char(' ')).toStdString()
        << "\" from the editor's desktop entry showed no window:\n"
        << editor.errShown();
}

// The commands' help, and their answer to arguments they cannot use.
TEST_F(Package, TheCommandsAnswerHelpAndWrongArgumentsInJapanese) {
    struct Case {
        QStringList command;
        int status;
        QStringList patterns;
    };
    std::vector<Case> cases = {
        {{QStringLiteral("vaporica"), QStringLiteral("--help")},
         0,
         {QStringLiteral("^使い方: vaporica "), QStringLiteral("--guide")}},
        {{QStringLiteral("vaporica"), QStringLiteral("--no-such-option")},
         2,
         {QStringLiteral("使い方")}},
        {{QStringLiteral("vaporica-check-material"), QStringLiteral("--help")},
         0,
         {QStringLiteral("^使い方: vaporica-check-material"), literal(Data)}},
        {{QStringLiteral("vaporica-make-material"), QStringLiteral("--help")},
         0,
         {QStringLiteral("^使い方: vaporica-make-material 表のフォルダー 出力フォルダー"),
          literal(Examples), QStringLiteral("--system --reset")}},
        {{QStringLiteral("vaporica-make-material"), Examples}, 2, {QStringLiteral("使い方")}},
        {{QStringLiteral("vaporica-make-material"), QStringLiteral("--system")},
         2,
         {QStringLiteral("使い方")}},
        {{QStringLiteral("vaporica-check-material")},
         0,
         {literal(Data) + QStringLiteral(": 完全です")}},
    };
    // Without xdg-open the program names the guide for the teacher to open.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        cases.push_back(
            {{QStringLiteral("vaporica"), QStringLiteral("--guide")}, 1, {literal(Guide)}});
    for (const Case &c : cases)
        EXPECT_TRUE(ended(run(c.command), c.status, c.patterns));
}

// The teacher's tools on a copy with one broken value, on the examples and on a table with a
// mistake; nothing writes the installed data but --system.
TEST_F(Package, TheTeachersToolsCheckAndMakeDataAndOnlySystemWritesTheInstalledData) {
    const QString broken = j.at(QStringLiteral("broken-data"));
    QDir().mkpath(broken);
    for (const QString &folder : j.folders)
        ASSERT_TRUE(ended(run({QStringLiteral("cp"), QStringLiteral("-rL"),
                               Data + QLatin1Char('/') + folder, broken}),
                          0));
    ASSERT_TRUE(
        ended(run({QStringLiteral("sed"), QStringLiteral("-i"), QStringLiteral("3s/^[^,]*/99/"),
                   broken + QStringLiteral("/説明/mondai.txt")}),
              0));
    EXPECT_TRUE(ended(run({QStringLiteral("vaporica-check-material"), broken}), 1,
                      {QStringLiteral("説明/mondai.txt:3:.*99"), QStringLiteral("不完全です")}))
        << "the checker on a copy with gas 99 in line 3";

    const QString made = j.at(QStringLiteral("made"));
    EXPECT_TRUE(ended(run({QStringLiteral("vaporica-make-material"), Examples, made}), 0,
                      {QStringLiteral("できました: ")}))
        << "the maker on the installed examples";
    for (const QString &folder : j.folders)
        EXPECT_TRUE(ended(run({QStringLiteral("diff"), QStringLiteral("-r"),
                               Data + QLatin1Char('/') + folder, made + QLatin1Char('/') + folder}),
                          0))
            << "the examples do not make the installed " << folder.toStdString();

    // Generator 9 in the first question after the header.
    const QString brokenTables = j.at(QStringLiteral("broken-tables"));
    ASSERT_TRUE(
        ended(run({QStringLiteral("cp"), QStringLiteral("-r"), Examples, brokenTables}), 0));
    QList<QByteArray> lines = contents(Examples + QStringLiteral("/questions.tsv")).split('\n');
    qsizetype header = 0;
    while (header < lines.size() && lines[header].startsWith('#'))
        ++header;
    ASSERT_LT(header + 1, lines.size()) << "no question after the header of questions.tsv";
    QList<QByteArray> fields = lines[header + 1].split('\t');
    const qsizetype column = lines[header].split('\t').indexOf("発生装置");
    ASSERT_TRUE(column >= 0 && column < fields.size())
        << "no column 発生装置 in the first question of questions.tsv";
    fields[column] = "9";
    lines[header + 1] = fields.join('\t');
    ASSERT_TRUE(writeFile(brokenTables + QStringLiteral("/questions.tsv"), lines.join('\n')));
    EXPECT_TRUE(ended(run({QStringLiteral("vaporica-make-material"), brokenTables,
                           j.at(QStringLiteral("made-broken"))}),
                      1, {QStringLiteral("questions.tsv[: ]%1[: 行].*9").arg(header + 2)}))
        << "the maker on tables with generator 9 in question 1";

    const auto before = snapshot();
    for (const QString &into : {Data, Made})
        EXPECT_TRUE(ended(j.admin({QStringLiteral("vaporica-make-material"), Examples, into}), 1,
                          {QStringLiteral("--system")}))
            << "making into " << into.toStdString() << " is not refused";
    EXPECT_TRUE(snapshot() == before &&
                linkTarget(Data + QStringLiteral("/説明")) == Made + QStringLiteral("/説明"))
        << "a refused run changed the installed data";
}

// A teacher without root changes question 3 to oxygen from hydrogen peroxide and manganese
// dioxide, with its own equation and reasons, and tries it in a folder of their own.
TEST_F(Package, ATeacherWithoutRootTriesTheirOwnQuestion3) {
    ASSERT_TRUE(
        ended(j.teacher({QStringLiteral("cp"), QStringLiteral("-r"), Examples, j.tables}), 0))
        << "the teacher copies the tables";
    const QString questions = j.tables + QStringLiteral("/questions.tsv");
    const auto question3Begins = [&](const QString &begin) {
        return QString::fromUtf8(contents(questions))
            .contains(
                QRegularExpression(QLatin1Char('^') + begin, QRegularExpression::MultilineOption));
    };
    EXPECT_FALSE(question3Begins(QStringLiteral("3\t酸素\t過酸化水素\t")))
        << "question 3 is already the one the teacher makes";
    const QString new3 = QStringLiteral(
        "3\\t酸素\\t過酸化水素\\t二酸化マンガン\\t1\\t水上置換\\t1\\t2H2O2 → 2H2O + "
        "O2\\tMnO2\\t\\t過酸化水素水＋触媒・加熱なし→三角フラスコ　水に溶けにくい→水上置換");
    ASSERT_TRUE(
        ended(j.teacher({QStringLiteral("sed"), QStringLiteral("-i"),
                         QStringLiteral("s/^3\\t.*$/") + new3 + QLatin1Char('/'), questions}),
              0));
    ASSERT_TRUE(question3Begins(QStringLiteral("3\t酸素\t過酸化水素\t二酸化マンガン\t")))
        << "the teacher's edit of question 3 did not take";
    EXPECT_TRUE(
        ended(j.teacher({QStringLiteral("vaporica-make-material"), j.tables, j.tried}), 0,
              {QStringLiteral("できました: ") + literal(j.tried) + QStringLiteral("（問題 20 問")}))
        << "the teacher's tables make their data";
    EXPECT_TRUE(ended(j.teacher({QStringLiteral("vaporica-check-material"), j.tried}), 0,
                      {QStringLiteral("完全です")}))
        << "the teacher's data is complete";
    const QString siki = j.tried + QStringLiteral("/反応式/siki(3).txt");
    EXPECT_TRUE(contents(siki).startsWith("2H2O2 → 2H2O + O2（MnO2）。"))
        << "the teacher's siki(3).txt is not the new equation: " << shownFile(siki);
    EXPECT_TRUE(ended(
        j.teacher({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"), j.tables}),
        1, {QStringLiteral("sudo vaporica-make-material --system"), QStringLiteral("IT 担当")}))
        << "--system without root";
    EXPECT_FALSE(exists(School)) << "--system without root wrote /etc/vaporica";
}

// Installed for everyone with one command: the teacher's table is the school's, the others
// (unchanged) stay the package's.
TEST_F(Package, SystemMakesTheTeachersTableTheSchools) {
    ASSERT_TRUE(ended(
        j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"), j.tables}),
        0,
        {QStringLiteral("できました: /var/lib/vaporica"),
         QStringLiteral("このコンピューターの問題を変えました")}));
    EXPECT_TRUE(sameFile(School + QStringLiteral("/questions.tsv"),
                         j.tables + QStringLiteral("/questions.tsv")))
        << "/etc/vaporica/questions.tsv is not the teacher's";
    EXPECT_TRUE(listed(School) == QStringList{QStringLiteral("questions.tsv")})
        << "/etc/vaporica holds " << listed(School).join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(question3Is(j.tried)) << "after --system";
    EXPECT_TRUE(ended(run({QStringLiteral("vaporica-check-material")}), 0,
                      {literal(Data) + QStringLiteral(": 完全です")}));
}

// Reinstalled, and upgraded to a version whose shipped question 3 differs: no question asked, no
// error, the teacher's question 3 stays.
TEST_F(Package, ReinstallAndAnUpgradeWhoseShippedTablesDifferKeepTheSchoolsQuestion3) {
    j.schoolTable = contents(School + QStringLiteral("/questions.tsv"));
    EXPECT_TRUE(
        ended(j.aptGet({QStringLiteral("install"), QStringLiteral("--reinstall"), j.deb}), 0));
    EXPECT_TRUE(question3Is(j.tried)) << "after a reinstall";
    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("install"), j.upgrade}), 0)) << "the upgrade";
    EXPECT_EQ(packageVersion().toStdString(), (j.version + QStringLiteral("+1")).toStdString())
        << "the upgrade did not install";
    EXPECT_FALSE(QString::fromUtf8(j.aptLog).contains(QRegularExpression(
        QStringLiteral("conffile|設定ファイル"), QRegularExpression::CaseInsensitiveOption)))
        << "the upgrade spoke of a configuration file:\n"
        << j.aptLog.toStdString();
    EXPECT_EQ(contents(School + QStringLiteral("/questions.tsv")), j.schoolTable)
        << "the upgrade changed the school's table";
    EXPECT_TRUE(question3Is(j.tried)) << "after an upgrade whose shipped tables differ";
}

// Back to the shipped questions: those of the upgraded package.
TEST_F(Package, ResetBringsTheUpgradedPackagesQuestionsBack) {
    const QString shipped = j.teacherHome + QStringLiteral("/shipped");
    ASSERT_TRUE(ended(j.teacher({QStringLiteral("vaporica-make-material"), Shipped, shipped}), 0))
        << "the upgraded package's tables make their data";
    EXPECT_TRUE(ended(j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"),
                               QStringLiteral("--reset")}),
                      0, {QStringLiteral("パッケージの問題に戻しました")}));
    EXPECT_FALSE(exists(School)) << "--reset left /etc/vaporica: "
                                 << listed(School).join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(question3Is(shipped)) << "after --reset";
}

// The editor's 「全員に配布」: pkexec runs the helper as root (here, root runs it), which takes
// one tables folder named from the root and nothing else.
TEST_F(Package, ThePublishingHelperTakesOneTablesFolderNamedFromTheRootOnly) {
    EXPECT_TRUE(ended(j.admin({Helper, j.tables}), 0,
                      {QStringLiteral("できました: /var/lib/vaporica"),
                       QStringLiteral("このコンピューターの問題を変えました")}))
        << "the helper, as root, on the teacher's tables";
    EXPECT_TRUE(question3Is(j.tried)) << "after publishing through the helper";
    const auto before = snapshot();
    for (const QString &wrong :
         {QStringLiteral("教材"), QStringLiteral("--reset"),
          j.tables + QStringLiteral("/questions.tsv"), j.at(QStringLiteral("ない"))})
        EXPECT_TRUE(
            ended(j.admin({Helper, wrong}), 2,
                  {QStringLiteral("^vaporica-publish: ") + literal(wrong) + QStringLiteral(": ")}))
            << "the helper does not refuse \"" << wrong.toStdString() << "\"";
    EXPECT_TRUE(ended(j.admin({Helper, j.tables, j.tables}), 2,
                      {QStringLiteral("^vaporica-publish: 表のフォルダーを一つだけ")}))
        << "the helper does not refuse two folders";
    EXPECT_TRUE(snapshot() == before) << "a refused run of the helper changed the data";
}

// The editor's 「書き出す」 file, applied on a lab's PC with one command; a copy cut short is
// refused and changes nothing. The file is written here as the editor writes it: a version line,
// then each table after its name, size and SHA-256, then an end line.
TEST_F(Package, ALabAppliesTheExportedTablesFileAndRefusesOneCutShort) {
    ASSERT_TRUE(ended(j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"),
                               QStringLiteral("--reset")}),
                      0))
        << "back to the shipped questions before the lab's file";
    QByteArray exported = "vaporica-tables 1\n";
    for (const char *table : {"questions.tsv", "gases.tsv", "reagents.tsv"}) {
        const QByteArray text = contents(j.tables + QLatin1Char('/') + QLatin1String(table));
        exported += QByteArray(table) + ' ' + QByteArray::number(text.size()) + ' ' +
                    QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex() + '\n' +
                    text + '\n';
    }
    exported += "end\n";
    const QString labFile = j.at(QStringLiteral("学校の問題.vaporica-tables"));
    const QString cut = j.at(QStringLiteral("cut.vaporica-tables"));
    ASSERT_TRUE(writeFile(labFile, exported) && writeFile(cut, exported.left(2000)));

    const auto before = snapshot();
    EXPECT_TRUE(ended(
        j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"), cut}), 1,
        {literal(cut) + QStringLiteral(": 途中で切れています"), QStringLiteral("変えていません")}))
        << "a tables file cut short is not refused";
    EXPECT_TRUE(snapshot() == before) << "a refused tables file changed the data";
    EXPECT_TRUE(ended(
        j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"), labFile}), 0,
        {QStringLiteral("使う表: questions.tsv と gases.tsv と reagents.tsv（") + literal(labFile) +
             QStringLiteral("）"),
         QStringLiteral("できました: /var/lib/vaporica")}));
    EXPECT_TRUE(question3Is(j.tried)) << "after applying the lab's file";
    EXPECT_TRUE(sameFile(School + QStringLiteral("/questions.tsv"),
                         j.tables + QStringLiteral("/questions.tsv")))
        << "the lab's file did not make the teacher's table the school's";
}

// A school table that a later version refuses (oxygen over water, which its gas table no longer
// allows): the upgrade goes through, the data stays as it was, and the reason is printed and
// logged. The teacher's table is put back as an IT admin rolls it out to a lab: copied, then one
// command.
TEST_F(Package, AnUpgradeThatRefusesTheSchoolsTableKeepsTheDataAndSaysWhy) {
    ASSERT_TRUE(ended(j.admin({QStringLiteral("install"), QStringLiteral("-d"), School}), 0));
    ASSERT_TRUE(ended(j.admin({QStringLiteral("cp"), j.tables + QStringLiteral("/questions.tsv"),
                               School + QLatin1Char('/')}),
                      0));
    EXPECT_TRUE(ended(j.admin({QStringLiteral("vaporica-make-material"), QStringLiteral("--system"),
                               QStringLiteral("--remake")}),
                      0, {QStringLiteral("できました: /var/lib/vaporica")}))
        << "the IT admin's way: the table copied to /etc/vaporica, then --system --remake";
    EXPECT_TRUE(question3Is(j.tried)) << "after the IT admin's remake";
    const auto before = snapshot();
    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("install"), j.refusing}), 0))
        << "an upgrade that refuses the school's table stopped";
    EXPECT_TRUE(packageState() == QStringLiteral("ii") &&
                packageVersion() == j.version + QStringLiteral("+2"))
        << "the upgrade that refuses the school's table left the package "
        << packageState().toStdString() << ' ' << packageVersion().toStdString();
    EXPECT_TRUE(snapshot() == before) << "the refused remake changed the data";
    for (const auto &[where, said] : {std::pair{QStringLiteral("apt-get's output"), j.aptLog},
                                      std::pair{MakeLog, contents(MakeLog)}})
        EXPECT_TRUE(QString::fromUtf8(said).contains(
                        QRegularExpression(QStringLiteral("questions.tsv.*水上置換"))) &&
                    said.contains("データは前のまま"))
            << where.toStdString() << " does not say why the school's table was refused:\n"
            << said.right(2000).toStdString();
    EXPECT_TRUE(question3Is(j.tried)) << "after an upgrade that refuses the school's table";
}

// lintian: no error; every warning kept is listed with its reason in the README.
TEST_F(Package, LintianFindsNoErrorAndEveryWarningIsExplainedInTheReadme) {
    const Ran lintian =
        run({QStringLiteral("env"), QStringLiteral("LC_ALL=C.UTF-8"), QStringLiteral("lintian"),
             QStringLiteral("--tag-display-limit"), QStringLiteral("0"), j.deb});
    std::cout << "lintian:\n"
              << QString::fromUtf8(lintian.out)
                     .replace(QRegularExpression(QStringLiteral("(?m)^")), QStringLiteral("  "))
                     .toStdString()
              << std::endl;
    EXPECT_TRUE(lintian.status == 0 &&
                !QString::fromUtf8(lintian.out)
                     .contains(QRegularExpression(QStringLiteral("^E:"),
                                                  QRegularExpression::MultilineOption)))
        << "lintian reports errors:\n"
        << lintian.shown();
    const QByteArray readme = contents(QStringLiteral(VAPORICA_SOURCE_DIR "/README.md"));
    auto warnings = QRegularExpression(QStringLiteral("^W: [^ ]*: ([^ ]*)"),
                                       QRegularExpression::MultilineOption)
                        .globalMatch(QString::fromUtf8(lintian.out));
    while (warnings.hasNext()) {
        const QString tag = warnings.next().captured(1);
        EXPECT_TRUE(readme.contains(tag.toUtf8()))
            << "lintian warning " << tag.toStdString() << " is not listed in README.md";
    }
}

// Removed, only the school's table stays; purged, nothing.
TEST_F(Package, RemoveKeepsOnlyTheSchoolsTableAndPurgeLeavesNothing) {
    const Ran files = run(j.asRoot + QStringList{QStringLiteral("dpkg"), QStringLiteral("-L"),
                                                 QStringLiteral("vaporica")});
    ASSERT_TRUE(ended(files, 0));
    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("remove"), QStringLiteral("vaporica")}), 0));
    EXPECT_EQ(packageState().toStdString(), "rc") << "after remove";
    EXPECT_TRUE(listed(School) == QStringList{QStringLiteral("questions.tsv")} &&
                contents(School + QStringLiteral("/questions.tsv")) == j.schoolTable)
        << "after remove /etc/vaporica holds: "
        << listed(School).join(QLatin1Char(' ')).toStdString();
    QStringList left;
    for (const QByteArray &line : files.out.split('\n')) {
        const QString path = QString::fromUtf8(line);
        if (!path.isEmpty() && exists(path) && !QFileInfo(path).isDir())
            left << path;
    }
    for (const QString &folder : {Data, QStringLiteral("/usr/share/doc/vaporica"), Made})
        if (exists(folder))
            left << folder;
    EXPECT_TRUE(left.isEmpty()) << "left after remove: "
                                << left.join(QLatin1Char(' ')).toStdString();

    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("purge"), QStringLiteral("vaporica")}), 0));
    EXPECT_TRUE(packageGone()) << "after purge the package is " << packageState().toStdString();
    for (const QString &path : {School, Made, MakeLog})
        EXPECT_FALSE(exists(path)) << "left after purge: " << path.toStdString();
}

// From the layout of 0.1: the bank was configuration, edited by a teacher, and a teacher's run had
// added a picture to the folders. The upgrade asks nothing, keeps the edited bank where it is
// found and says so, and the folders become links to the made data.
TEST_F(Package, TheUpgradeFrom01KeepsTheEditedBankAndPurgedLeavesNothing) {
    ASSERT_TRUE(ended(j.aptGet({QStringLiteral("install"), j.old}), 0))
        << "apt-get install ./" << QFileInfo(j.old).fileName().toStdString();
    const QString bank = School + QStringLiteral("/mondai.txt");
    QList<QByteArray> lines = contents(bank).split('\n');
    ASSERT_GT(lines.size(), 2) << shownFile(bank);
    std::swap(lines[0], lines[1]);
    const QString edited = j.at(QStringLiteral("edited"));
    ASSERT_TRUE(writeFile(edited, lines.join('\n')));
    ASSERT_TRUE(ended(j.admin({QStringLiteral("cp"), edited, bank}), 0));
    ASSERT_TRUE(ended(j.admin({QStringLiteral("cp"), Data + QStringLiteral("/装置/souti(3).gif"),
                               Data + QStringLiteral("/装置/souti(99).gif")}),
                      0));

    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("install"), j.deb}), 0)) << "the upgrade from 0.1";
    EXPECT_FALSE(QString::fromUtf8(j.aptLog).contains(
        QRegularExpression(QStringLiteral("conffile.*prompt|end of file on stdin"),
                           QRegularExpression::CaseInsensitiveOption)))
        << "the upgrade from 0.1 asked:\n"
        << j.aptLog.toStdString();
    EXPECT_EQ(packageVersion().toStdString(), j.version.toStdString())
        << "the upgrade from 0.1 did not install";
    for (const QString &folder : j.folders)
        EXPECT_EQ(linkTarget(Data + QLatin1Char('/') + folder).toStdString(),
                  (Made + QLatin1Char('/') + folder).toStdString())
            << "after the upgrade from 0.1, " << folder.toStdString() << " is not a link";
    EXPECT_FALSE(exists(School)) << "after the upgrade from 0.1, /etc/vaporica holds "
                                 << listed(School).join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(sameFile(Made + QStringLiteral("/old-bank/mondai.txt"), edited))
        << "the edited bank of 0.1 was not kept";
    EXPECT_TRUE(j.aptLog.contains("old-bank/mondai.txt") &&
                contents(MakeLog).contains("old-bank/mondai.txt"))
        << "the upgrade from 0.1 did not say where the edited bank is:\n"
        << j.aptLog.toStdString();
    EXPECT_TRUE(ended(run({QStringLiteral("vaporica-check-material")}), 0,
                      {literal(Data) + QStringLiteral(": 完全です")}))
        << "the upgrade from 0.1 does not make the data";

    EXPECT_TRUE(ended(j.aptGet({QStringLiteral("purge"), QStringLiteral("vaporica")}), 0))
        << "apt-get purge after the upgrade from 0.1";
    QStringList left;
    for (const QString &path : {School, Made, MakeLog})
        if (exists(path))
            left << path;
    for (const QString &name :
         QDir(QStringLiteral("/usr/lib"))
             .entryList({QStringLiteral("vaporica*")},
                        QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        left << QStringLiteral("/usr/lib/") + name;
    EXPECT_TRUE(left.isEmpty()) << "left after purge: "
                                << left.join(QLatin1Char(' ')).toStdString();
}

} // namespace
