// Runs the real executable on broken copies of the data directory. Each case either starts
// normally (the menu window is shown) or ends through the runtime-error report that names the file
// and the problem, with status 1. A signal, a sanitizer report or a hang fails the case.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

const QStringList DataFolders = {QStringLiteral("気体"),   QStringLiteral("薬品"),
                                 QStringLiteral("反応式"), QStringLiteral("装置"),
                                 QStringLiteral("性質"),   QStringLiteral("音"),
                                 QStringLiteral("説明")};

#ifdef VAPORICA_SANITIZED
constexpr int StartTimeoutMs = 30000;
#else
constexpr int StartTimeoutMs = 10000;
#endif

// Qt's accessibility cache logs each window it learns of as it is shown; the menu window showing
// is the one outside sign that start-up has finished loading the bank.
const QByteArray MenuShownSign = "name=\"メニュー\" role=Client";

// A broken copy of the built data directory with the executable beside it.
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
constexpr int QuestionValues = 6; // per line in mondai.txt
constexpr int GasValues = 1;      // per line in taiou.txt

struct Case {
    Case(std::string name_, std::function<void(const DataCopy &)> breakIt_, int errorNumber_ = 0,
         QString file_ = {}, QString problem_ = {}, QString folder_ = QStringLiteral("copy"))
        : name(std::move(name_)), breakIt(std::move(breakIt_)), errorNumber(errorNumber_),
          file(std::move(file_)), problem(std::move(problem_)), folder(std::move(folder_)) {}

    std::string name;
    std::function<void(const DataCopy &)> breakIt;
    int errorNumber; // 0: starts normally
    QString file;    // the file the report must name, relative to the copy
    QString problem; // a fragment of the report's message
    QString folder;  // where the copy lives inside the test's directory
};

// Names a case by its name alone in test output.
void PrintTo(const Case &c, std::ostream *os) {
    *os << c.name;
}

// Values 1-based in mondai.txt: question q, field f (1 gas, 2-3 reagents, 4 generator,
// 5 collection, 6 apparatus picture).
int at(int q, int f) {
    return (q - 1) * QuestionValues + f;
}

auto setQuestion(int q, int f, const char *value) {
    return [=](const DataCopy &d) { d.setValue(Questions, at(q, f), value, QuestionValues); };
}
auto keepValues(const QString &file, int count, int perLine) {
    return [=](const DataCopy &d) { d.writeValues(file, d.values(file).mid(0, count), perLine); };
}
auto removeFile(const QString &relative) {
    return [=](const DataCopy &d) { d.remove(relative); };
}
auto writeFile(const QString &relative, const QByteArray &contents) {
    return [=](const DataCopy &d) { d.write(relative, contents); };
}
auto noChange() {
    return [](const DataCopy &) {};
}

const QString NotFound = QStringLiteral("ファイルが見つかりません");
const QString Overflow = QStringLiteral("オーバーフローしました");
const QString PastEnd = QStringLiteral("ファイルの終わりを越えて読み込もうとしました");

// Bytes of a PNG header and binary noise: what a teacher gets by saving the wrong file under the
// bank's name.
const QByteArray BinaryJunk = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe,\x00\x01", 22);

std::vector<Case> cases() {
    std::vector<Case> all = {
        {"Intact", noChange()},

        // mondai.txt: at start-up the loader reads all 120 values.
        {"QuestionsMissing", removeFile(Questions), 53, Questions, NotFound},
        {"QuestionsIsADirectory",
         [](const DataCopy &d) {
             d.remove(Questions);
             QDir().mkpath(d.path(Questions));
         },
         75, Questions, QStringLiteral("ファイルを読み込めません")},
        {"QuestionsEmpty", writeFile(Questions, ""), 62, Questions,
         QStringLiteral("値が 0 個しかありません。120 個必要です")},
        {"QuestionsOneValueShort", keepValues(Questions, 119, QuestionValues), 62, Questions,
         QStringLiteral("値が 119 個しかありません")},
        {"QuestionsCutMidLine",
         [](const DataCopy &d) {
             const QByteArray text = d.read(Questions);
             d.write(Questions, text.left(text.size() / 2 + 3));
         },
         62, Questions, PastEnd},
        {"QuestionsBinaryJunk", writeFile(Questions, BinaryJunk), 62, Questions, PastEnd},
        // A field that is no number reads as 0: the bank loads and the zeros bite only later.
        {"QuestionsWordsForNumbers",
         [](const DataCopy &d) {
             d.writeValues(Questions, QList<QByteArray>(120, "abc"), QuestionValues);
         }},
        {"QuestionsJunkAfterLastValue",
         [](const DataCopy &d) {
             d.write(Questions, d.read(Questions) + "\n\x01garbage,,\xff\n");
         }},
        {"QuestionsCrLfAndBlankLines",
         [](const DataCopy &d) {
             d.write(Questions, "\r\n" + d.read(Questions).replace("\n", "\r\n\r\n"));
         }},
        {"QuestionsOverflowPositive", setQuestion(2, 1, "32768"), 6, Questions,
         QStringLiteral("2 行目, 7 番目の値 \"32768\"")},
        {"QuestionsOverflowNegative", setQuestion(20, 6, "-32769"), 6, Questions, Overflow},
        {"QuestionsOverflowHuge", setQuestion(1, 2, "99999999999999999999999999"), 6, Questions,
         Overflow},
        // Out-of-range numbers load; they fail where they are used, on later screens.
        {"QuestionsReagentZero", setQuestion(1, 2, "0")},
        {"QuestionsReagent25", setQuestion(7, 3, "25")},
        {"QuestionsGas15", setQuestion(3, 1, "15")},
        {"QuestionsGenerator5", setQuestion(4, 4, "5")},
        {"QuestionsCollectionMinus1", setQuestion(4, 5, "-1")},
        {"QuestionsApparatusPictureMissing", setQuestion(5, 6, "999")},

        // taiou.txt: read after mondai.txt, 14 values.
        {"GasTableMissing", removeFile(GasTable), 53, GasTable, NotFound},
        {"GasTableEmpty", writeFile(GasTable, ""), 62, GasTable,
         QStringLiteral("値が 0 個しかありません。14 個必要です")},
        {"GasTableOneValueShort", keepValues(GasTable, 13, GasValues), 62, GasTable,
         QStringLiteral("値が 13 個しかありません")},
        {"GasTableBinaryJunk", writeFile(GasTable, BinaryJunk), 62, GasTable, PastEnd},
        {"GasTableOverflow",
         [](const DataCopy &d) { d.setValue(GasTable, 14, "40000", GasValues); }, 6, GasTable,
         Overflow},
        {"GasTableApparatusPictureMissing",
         [](const DataCopy &d) { d.setValue(GasTable, 1, "999", GasValues); }},
        {"BankFolderMissing", removeFile(QStringLiteral("説明")), 53, Questions, NotFound},
        {"OnlyTheExecutable",
         [](const DataCopy &d) {
             for (const QString &folder : DataFolders)
                 d.remove(folder);
         },
         53, Questions, NotFound},

        // Sounds are played by the quiz screens, never at start-up.
        {"RightSoundMissing", removeFile(QStringLiteral("音/o.wav"))},
        {"SoundFolderMissing", removeFile(QStringLiteral("音"))},

        // Where the program lives.
        {"PathWithSpacesAndJapanese",
         noChange(),
         0,
         {},
         {},
         QStringLiteral("先生の 教材/ヴァポリカ 2")},
        {"PathWithSpacesAndJapaneseQuestionsMissing", removeFile(Questions), 53, Questions,
         NotFound, QStringLiteral("先生の 教材/ヴァポリカ 2")},
        {"ReadOnlyDataDirectory", [](const DataCopy &d) { d.setReadOnly(true); }},
    };

    // Pictures are read only when a screen puts them on a control, so none of these may stop the
    // start; what each does on its screen is covered by the screen tests.
    const struct {
        const char *name;
        const char *file;
    } pictures[] = {
        {"GasNormal", "気体/gas1(3).gif"},      {"GasHighlighted", "気体/gas2(3).gif"},
        {"ReagentNormal", "薬品/yaku1(5).gif"}, {"ReagentHighlighted", "薬品/yaku2(5).gif"},
        {"Equation", "反応式/siki(1).gif"},     {"Apparatus", "装置/souti(1).gif"},
        {"Properties", "性質/seisitu(1).gif"},
    };
    for (const auto &picture : pictures) {
        const QString file = QString::fromUtf8(picture.file);
        const auto name = [&](const char *how) { return std::string(picture.name) + how; };
        all.push_back({name("PictureMissing"), removeFile(file)});
        all.push_back({name("PictureZeroBytes"), writeFile(file, "")});
        all.push_back({name("PictureNotAGif"), writeFile(file, "GIF? no, a text file\n")});
    }
    return all;
}

class HostileData : public testing::TestWithParam<Case> {
protected:
    void TearDown() override {
        if (copy_)
            copy_->setReadOnly(false);
    }
    QTemporaryDir work_{QStringLiteral(VAPORICA_WORK_DIR "/hostile-XXXXXX")};
    std::unique_ptr<DataCopy> copy_;
};

TEST_P(HostileData, StartsOrEndsThroughTheReport) {
    const Case &c = GetParam();
    ASSERT_TRUE(work_.isValid());
    copy_ = std::make_unique<DataCopy>(work_.filePath(c.folder));
    c.breakIt(*copy_);
    if (HasFatalFailure())
        return;

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.accessibility.cache=true"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work_.path()); // not the data directory: it must not matter
    program.start(copy_->executable(), {});
    ASSERT_TRUE(program.waitForStarted(StartTimeoutMs));

    // Wait for either the menu or the end of the process, never longer than the timeout.
    QByteArray err;
    QElapsedTimer clock;
    clock.start();
    bool menuShown = false;
    while (clock.elapsed() < StartTimeoutMs) {
        if (program.waitForFinished(50))
            break;
        err += program.readAllStandardError();
        if (err.contains(MenuShownSign)) {
            menuShown = true;
            break;
        }
    }
    const bool finished = program.state() == QProcess::NotRunning;
    if (!finished) {
        program.kill();
        program.waitForFinished(StartTimeoutMs);
    }
    err += program.readAllStandardError();
    const QString errText = QString::fromUtf8(err);
    const std::string shown = errText.toStdString();

    EXPECT_FALSE(errText.contains(QStringLiteral("Sanitizer")) ||
                 errText.contains(QStringLiteral("runtime error:")))
        << shown;
    if (c.errorNumber == 0) {
        EXPECT_TRUE(menuShown) << (finished ? "the program ended: "
                                            : "no menu within the timeout: ")
                               << shown;
        EXPECT_FALSE(errText.contains(QStringLiteral("実行時エラー"))) << shown;
        return;
    }
    ASSERT_TRUE(finished) << "still running after " << StartTimeoutMs << " ms: " << shown;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "ended by a signal: " << shown;
    EXPECT_EQ(program.exitCode(), 1) << shown;
    EXPECT_FALSE(menuShown);
    const QString report = QStringLiteral("ヴァポリカ: 実行時エラー %1: ").arg(c.errorNumber);
    EXPECT_TRUE(errText.contains(report))
        << "expected \"" << report.toStdString() << "\" in " << shown;
    EXPECT_TRUE(errText.contains(copy_->native(c.file)))
        << "the report does not name " << copy_->native(c.file).toStdString() << ": " << shown;
    EXPECT_TRUE(errText.contains(c.problem))
        << "expected \"" << c.problem.toStdString() << "\" in " << shown;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileData, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case> &info) { return info.param.name; });

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
