#include "bank/NumberReader.h"
#include "bank/BankLoader.h"
#include "base/RuntimeError.h"

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vaporica::test {
namespace {

std::vector<int> readAll(const QByteArray &text, int count) {
    NumberReader reader(QStringLiteral("t.txt"), text);
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back(reader.next(count));
    return values;
}

struct TextForm {
    const char *name;
    QByteArray text;
    std::vector<int> expected;
};

// Names a case by its name alone in test output.
void PrintTo(const TextForm &c, std::ostream *os) {
    *os << c.name;
}

class ReaderTextForms : public ::testing::TestWithParam<TextForm> {};

TEST_P(ReaderTextForms, ReadsTheValuesInSequence) {
    const TextForm &form = GetParam();
    EXPECT_EQ(readAll(form.text, static_cast<int>(form.expected.size())), form.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ReaderTextForms,
    ::testing::Values(TextForm{"OneLine", "1,5,19,3,3,3", {1, 5, 19, 3, 3, 3}},
                      TextForm{"OneValuePerLine", "1\n5\n19\n3\n", {1, 5, 19, 3}},
                      TextForm{"RecordPerLine", "1,5,19\n3,3,3\n", {1, 5, 19, 3, 3, 3}},
                      TextForm{"Crlf", "1,5\r\n19,3\r\n", {1, 5, 19, 3}},
                      TextForm{"LoneCr", "1,5\r19\r", {1, 5, 19}},
                      TextForm{"LeadingSpaces", "  1,   5\n\t19", {1, 5, 19}},
                      TextForm{"BlankLinesSkipped", "1\n\n\n5\n", {1, 5}},
                      TextForm{"JunkFieldReadsZero", "1,abc,19", {1, 0, 19}},
                      TextForm{"EmptyFieldReadsZero", "1,,19", {1, 0, 19}},
                      TextForm{"TrailingCommaOpensNoField", "1,5,\n19", {1, 5, 19}},
                      TextForm{"Signs", "-32768,+7,32767", {-32768, 7, 32767}},
                      TextForm{"DigitsBeforeJunkCount", "12abc,3", {12, 3}},
                      TextForm{"ExtraValuesNeverRead", "1,2,3,99999,x", {1, 2, 3}},
                      // Notepad's UTF-8 starts with a byte-order mark; elsewhere it is junk.
                      TextForm{"ByteOrderMarkSkipped",
                               "\xEF\xBB\xBF"
                               "1,2",
                               {1, 2}},
                      TextForm{"ByteOrderMarkAlone",
                               "\xEF\xBB\xBF"
                               "\n7",
                               {7}},
                      TextForm{"ByteOrderMarkLaterIsJunk",
                               "1,\xEF\xBB\xBF"
                               "2",
                               {1, 0}},
                      TextForm{"SpacesAfterACommaAtLineEnd", "1, \t\r\n2", {1, 2}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NumberReader, RecordsLinePositionAndWhetherAFieldWasANumber) {
    NumberReader reader(QStringLiteral("t.txt"), "1,x\n\n, 7");
    const auto a = reader.tryNext(), b = reader.tryNext(), c = reader.tryNext(),
               d = reader.tryNext();
    ASSERT_TRUE(a && b && c && d);
    EXPECT_EQ(a->line, 1);
    EXPECT_TRUE(a->wasNumber);
    EXPECT_EQ(b->position, 2);
    EXPECT_FALSE(b->wasNumber);
    EXPECT_EQ(c->line, 3);
    EXPECT_FALSE(c->wasNumber);
    EXPECT_EQ(d->value, 7);
    EXPECT_FALSE(reader.tryNext());
}

struct Failure {
    const char *name;
    QByteArray text;
    int needed;
    ErrorNumber number;
    const char *mustMention;
};

void PrintTo(const Failure &c, std::ostream *os) {
    *os << c.name;
}

class ReaderFailures : public ::testing::TestWithParam<Failure> {};

TEST_P(ReaderFailures, NameTheFileAndTheProblem) {
    const Failure &f = GetParam();
    try {
        readAll(f.text, f.needed);
        FAIL() << "no error";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), f.number);
        EXPECT_TRUE(e.reportLine().contains(QStringLiteral("t.txt")));
        EXPECT_TRUE(e.reportLine().contains(QString::fromUtf8(f.mustMention)))
            << e.reportLine().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ReaderFailures,
    ::testing::Values(
        Failure{"EndsEarly", "1,2,3", 4, ErrorNumber::InputPastEndOfFile,
                "3 個しかありません。4 個"},
        Failure{"Empty", "", 1, ErrorNumber::InputPastEndOfFile, "0 個"},
        Failure{"Overflow", "1,2\n32768", 3, ErrorNumber::Overflow, "2 行目, 3 番目"},
        Failure{"Underflow", "-32769", 1, ErrorNumber::Overflow, "1 番目"},
        Failure{"HugeNumber", "99999999999999999999", 1, ErrorNumber::Overflow, "1 番目"},
        // The report shows the field as a teacher wrote it, however it is encoded.
        Failure{"OverflowAmongJapanese", "99999円", 1, ErrorNumber::Overflow, "\"99999円\""},
        Failure{"OverflowWithControlBytes", "99999\x01x", 1, ErrorNumber::Overflow,
                "\"99999\\x01x\""},
        Failure{"ValuesBeyondTheFirstMegabyte",
                QByteArray(NumberReader::MaxScannedBytes, '\n') + "1", 1, ErrorNumber::Overflow,
                "1 番目の値が最初の 1 MB の中にありません"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NumberReader, MissingOrUnreadableFileIsAnErrorNamingIt) {
    DataDirectory data;
    const QString missing = data.root() + QStringLiteral("/none.txt");
    try {
        NumberReader reader(missing);
        FAIL();
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        EXPECT_EQ(e.subject(), missing);
    }
    try {
        NumberReader reader(data.root()); // a directory is no file to read
        FAIL();
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::PathFileAccess);
    }
}

// What a report or the checker prints of a field: readable, one line, short.
TEST(NumberReader, ShowsAFieldEscapedAndCut) {
    const struct {
        QByteArray text;
        bool cut;
        QString shown;
    } table[] = {
        {"32768", false, QStringLiteral("32768")},
        {"１２円", false, QStringLiteral("１２円")},
        {QByteArray("1\0\t2", 4), false, QStringLiteral("1\\x00\\x092")},
        {"\xEF\xBB\xBF"
         "5",
         false, QStringLiteral("\\ufeff5")},
        {"\xFF"
         "7",
         false,
         QStringLiteral("\uFFFD"
                        "7")},
        {QByteArray(45, '9'), false, QString(40, QLatin1Char('9')) + QStringLiteral("…")},
        {"12", true, QStringLiteral("12…")},
    };
    for (const auto &row : table)
        EXPECT_EQ(shownField(row.text, row.cut), row.shown) << row.text.toHex().toStdString();
}

// However large a bank file, only as much of it is read as the values asked for, or as far as its
// first megabyte; a file that is no regular file is refused before it is read.
TEST(NumberReader, ReadsOnlyWhatIsNeededFromAnyFile) {
    DataDirectory data;
    const QString huge = data.root() + QStringLiteral("/huge.txt");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("1,2,3\n");
        ASSERT_TRUE(file.resize(qint64(4) << 30)); // a sparse 4 GB of NULs after the values
    }
    QElapsedTimer clock;
    clock.start();
    NumberReader reader(huge);
    EXPECT_EQ(reader.next(3), 1);
    EXPECT_EQ(reader.next(3), 2);
    EXPECT_EQ(reader.next(3), 3);
    EXPECT_EQ(reader.lineOfNext(), 2);
    EXPECT_FALSE(reader.tryNext()) << "nothing is read after looking for an extra value";
    EXPECT_LT(clock.elapsed(), 2000);

    // A field of ten million digits: one short report, at once.
    data.write(QStringLiteral("digits.txt"), QByteArray(10'000'000, '7'));
    clock.restart();
    try {
        NumberReader(data.root() + QStringLiteral("/digits.txt")).next(1);
        FAIL() << "no error";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
        EXPECT_LT(e.reportLine().size(), 200 + data.root().size()) << "the field is quoted short";
    }
    EXPECT_LT(clock.elapsed(), 2000);

    const QString fifo = data.root() + QStringLiteral("/fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString zero = data.root() + QStringLiteral("/zero.txt");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString &path : {fifo, zero}) {
        clock.restart();
        try {
            NumberReader reader(path);
            FAIL() << "no error for " << path.toStdString();
        } catch (const RuntimeError &e) {
            EXPECT_EQ(e.number(), ErrorNumber::PathFileAccess);
            EXPECT_EQ(e.subject(), path);
        }
        EXPECT_LT(clock.elapsed(), 1000) << path.toStdString();
    }
}

class BankLoading : public ProgramTest {};

TEST_F(BankLoading, ReadsRecordsIntoTheQuestionArraysWhateverTheLayout) {
    // The same bank written as one line and with 121 values loads the same as one record per line.
    QByteArray oneLine = DataDirectory::standardMondai();
    oneLine.replace("\r\n", ",");
    for (const QByteArray &mondai : {DataDirectory::standardMondai(), oneLine, oneLine + "5"}) {
        resetSharedVariables();
        DataRoot = data.root();
        QuestionCount = 20;
        data.writeBank(mondai, DataDirectory::standardTaiou());
        loadQuestionBank();
        EXPECT_EQ(AnswerGas(1), 1);
        EXPECT_EQ(Reagent(3, 1), 3);
        EXPECT_EQ(Reagent(3, 2), 7);
        EXPECT_EQ(GeneratorAnswer(20), 4);
        EXPECT_EQ(CollectorAnswer(20), 2);
        EXPECT_EQ(ApparatusPicture(20), 1);
        EXPECT_EQ(GasApparatus(14), 5);
        EXPECT_EQ(AnswerGas(0), 0);
    }
}

TEST_F(BankLoading, A119ValueBankFailsNamingTheCounts) {
    QByteArray text = DataDirectory::standardMondai();
    text.chop(text.size() - text.lastIndexOf(','));
    data.writeBank(text, DataDirectory::standardTaiou());
    DataRoot = data.root();
    QuestionCount = 20;
    try {
        loadQuestionBank();
        FAIL();
    } catch (const RuntimeError &e) {
        EXPECT_TRUE(e.reportLine().contains(QStringLiteral("mondai.txt")));
        EXPECT_TRUE(e.reportLine().contains(QStringLiteral("119 個しかありません。120 個")))
            << e.reportLine().toStdString();
    }
}

} // namespace
} // namespace vaporica::test
