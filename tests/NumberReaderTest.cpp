#include "bank/NumberReader.h"
#include "app/RuntimeError.h"
#include "bank/BankLoader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

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
                      TextForm{"ExtraValuesNeverRead", "1,2,3,99999,x", {1, 2, 3}}),
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
    ::testing::Values(Failure{"EndsEarly", "1,2,3", 4, ErrorNumber::InputPastEndOfFile,
                              "3 個しかありません。4 個"},
                      Failure{"Empty", "", 1, ErrorNumber::InputPastEndOfFile, "0 個"},
                      Failure{"Overflow", "1,2\n32768", 3, ErrorNumber::Overflow, "2 行目, 3 番目"},
                      Failure{"Underflow", "-32769", 1, ErrorNumber::Overflow, "1 番目"},
                      Failure{"HugeNumber", "99999999999999999999", 1, ErrorNumber::Overflow,
                              "1 番目"}),
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
