#include "MaterialRecord.h"

#include "ApparatusArt.h"
#include "Checks.h"
#include "Formula.h"
#include "assets/DataPaths.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "base/SharedVariables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <stdexcept>

namespace vaporica::material {

namespace {

// The properties browser writes a gas's note (装置図の注記) over the top of its apparatus picture:
// centred 326 px from the picture's left, from 14 to 31 px from its top, at most
// MaxApparatusNoteCharacters of 17 px.
const QRect UnderTheNote(168, 12, 427 - 168, 22);

const QString RecordFragment = QStringLiteral("\\説明\\material.tsv");
const QString RecordName = QStringLiteral("説明/material.tsv");
const QString Reagent = QStringLiteral("薬品");
const QString Gas = QStringLiteral("気体");
const QString Question = QStringLiteral("問題");
const QString File = QStringLiteral("ファイル");
const QString Drawing = QStringLiteral("装置図");
const QString Sound = QStringLiteral("音");

const char *const Head =
    "# このフォルダーを vaporica-make-material が作ったときの記録です。手で直さないでください。\n"
    "# vaporica-check-material はこれを読んで、画像が 説明/mondai.txt の問題と組になっているか、\n"
    "# 問題の化学が正しいかを確かめます。行の形:\n"
    "# 薬品\t番号\t化学式\t状態\t表の行のハッシュ\n"
    "# 気体\t番号\t化学式\t捕集\t表の行のハッシュ\n"
    "# 問題\t番号\tmondai.txt の値\t装置図\t反応式\t矢印の上\t矢印の下\t表の行のハッシュ\n"
    "# ファイル\t名前\tもと\t中身のハッシュ\n";

QString stateName(State state) {
    return state == State::Solid    ? QStringLiteral("固体")
           : state == State::Liquid ? QStringLiteral("液体")
                                    : QStringLiteral("-");
}

State stateNamed(const QString &name) {
    for (State s : {State::Solid, State::Liquid})
        if (stateName(s) == name)
            return s;
    return State::Unknown;
}

QString shortHash(const QByteArray &bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString fileHash(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex().left(16));
}

QString recordText(const Record &r) {
    QStringList values;
    for (int v : r)
        values << QString::number(v);
    return values.join(QLatin1Char(','));
}

std::optional<Record> parseRecord(const QString &text) {
    const QStringList values = text.split(QLatin1Char(','));
    if (values.size() != 6)
        return std::nullopt;
    Record r{};
    for (int k = 0; k < 6; ++k) {
        bool ok = false;
        r[k] = values[k].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return r;
}

struct Planned {
    QString path; // absolute
    QString source;
    int question = 0;
};

// Every file the generator writes but the two bank files, with what it is made from.
QList<Planned> plannedFiles(const QString &root, const Tables &t) {
    QList<Planned> files;
    const auto withWords = [&](const QString &picture, const QString &source, int question) {
        files.append({picture, source, question});
        files.append({pictureTextPath(picture), source, question});
    };
    for (const GasRow &g : t.gases) {
        const QString source = QStringLiteral("%1 %2").arg(Gas).arg(g.number);
        files.append({picturePathUnder(root, fragment::GasNormal, g.number), source, 0});
        files.append({picturePathUnder(root, fragment::GasHighlighted, g.number), source, 0});
        withWords(picturePathUnder(root, fragment::Properties, g.number), source, 0);
        files.append({textPathUnder(root, fragment::ApparatusNote, g.number), source, 0});
    }
    for (int r = 1; r <= ReagentCount; ++r) {
        const QString source = QStringLiteral("%1 %2").arg(Reagent).arg(r);
        files.append({picturePathUnder(root, fragment::ReagentNormal, r), source, 0});
        files.append({picturePathUnder(root, fragment::ReagentHighlighted, r), source, 0});
    }
    for (const QuestionRow &q : t.questions) {
        const QString source = QStringLiteral("%1 %2").arg(Question).arg(q.number);
        withWords(picturePathUnder(root, fragment::Equation, q.number), source, q.number);
        withWords(picturePathUnder(root, fragment::Apparatus, QuestionSetups + q.number), source,
                  q.number);
    }
    for (int n : setupNumbers())
        withWords(picturePathUnder(root, fragment::Apparatus, n),
                  QStringLiteral("%1 %2").arg(Drawing).arg(n), 0);
    files.append({dataPath(root, fragment::RightSound), Sound, 0});
    files.append({dataPath(root, fragment::WrongSound), Sound, 0});
    return files;
}

// Reading the record back: any line out of form makes the whole record unusable.
class RecordReader {
public:
    explicit RecordReader(QList<Finding> &findings) : findings_(findings) {}

    std::optional<MaterialRecord> read(const QByteArray &bytes) {
        MaterialRecord m;
        m.tables.reagents.resize(ReagentCount);
        m.tables.gases.resize(GasCount);
        m.tables.questions.resize(MaxQuestions);
        m.records.resize(MaxQuestions);
        QSet<QString> seen;
        const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            line_ = i + 1;
            const QString text = lines[i];
            if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
                continue;
            const QStringList c = text.split(QLatin1Char('\t'));
            bool good = false;
            if (c[0] == Reagent && c.size() == 5)
                good = reagent(m, c);
            else if (c[0] == Gas && c.size() == 5)
                good = gas(m, c);
            else if (c[0] == Question && c.size() == 8)
                good = question(m, c);
            else if (c[0] == File && c.size() == 4)
                good = file(m, c);
            if (!good)
                return fail();
            seen.insert(c[0] + c[1]);
        }
        line_ = 0;
        if (seen.size() != ReagentCount + GasCount + MaxQuestions + m.files.size())
            return fail();
        return m;
    }

private:
    static int number(const QString &text, int high) {
        bool ok = false;
        const int n = text.toInt(&ok);
        return ok && n >= 1 && n <= high ? n : 0;
    }

    bool reagent(MaterialRecord &m, const QStringList &c) {
        const int n = number(c[1], ReagentCount);
        if (n == 0 || c[2].isEmpty())
            return false;
        ReagentRow &r = m.tables.reagents[n - 1];
        r.number = n;
        r.formula = c[2];
        r.state = stateNamed(c[3]);
        return true;
    }

    bool gas(MaterialRecord &m, const QStringList &c) {
        const int n = number(c[1], GasCount);
        int collection = 0;
        for (int k = 1; k <= CollectorCount; ++k)
            if (collectionName(k) == c[3])
                collection = k;
        if (n == 0 || c[2].isEmpty() || collection == 0)
            return false;
        GasRow &g = m.tables.gases[n - 1];
        g.number = n;
        g.formula = c[2];
        g.collection = collection;
        return true;
    }

    bool question(MaterialRecord &m, const QStringList &c) {
        const int n = number(c[1], MaxQuestions);
        const std::optional<Record> record = parseRecord(c[2]);
        if (n == 0 || !record)
            return false;
        QuestionRow &q = m.tables.questions[n - 1];
        q.number = n;
        q.apparatus = c[3].toInt();
        q.equation = c[4];
        q.overArrow = c[5];
        q.underArrow = c[6];
        m.records[n - 1] = *record;
        return true;
    }

    bool file(MaterialRecord &m, const QStringList &c) {
        if (c[1].isEmpty() || c[3].isEmpty())
            return false;
        MadeFile f{c[2], 0, c[3]};
        if (c[2].startsWith(Question + QLatin1Char(' ')))
            f.question = number(c[2].mid(Question.size() + 1), MaxQuestions);
        m.files.insert(c[1], f);
        return true;
    }

    std::nullopt_t fail() {
        findings_.append(
            {Severity::Error, 0, RecordName, line_,
             QStringLiteral("この記録は読めません（vaporica-make-material が作った"
                            "ものと形がちがいます）。表からデータを作り直してください")});
        return std::nullopt;
    }

    QList<Finding> &findings_;
    int line_ = 0;
};

QString whatRecordHolds(const Record &r) {
    const auto name = [](QString (*of)(int), int n, int count) {
        return n >= 1 && n <= count ? of(n) : QString::number(n);
    };
    return QStringLiteral("%1・%2・%3")
        .arg(name(gasName, r[0], GasCount), name(reagentName, r[1], ReagentCount),
             name(reagentName, r[2], ReagentCount));
}

// Two records ask the same question when they name the same gas from the same reagents.
bool sameQuestion(const Record &a, const Record &b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

const QString Remake = QStringLiteral("表を直して vaporica-make-material で作り直してください");

// The path inside the data directory, '/'-separated, as the record names it.
QString inside(const QString &root, const QString &path) {
    return QDir(root).relativeFilePath(path);
}

} // namespace

int propertiesSetup(const Tables &t, const GasRow &gas) {
    for (const QuestionRow &q : t.questions)
        if (q.gas == gas.number && q.apparatus == gas.apparatus)
            return QuestionSetups + q.number;
    return gas.apparatus;
}

SetupContents setupContentsOf(const Tables &t, const QuestionRow &q) {
    SetupContents contents{q.reagent1,
                           q.reagent2,
                           t.gases.value(q.gas - 1).swatch,
                           std::nullopt,
                           t.reagents.value(q.reagent1 - 1).look,
                           t.reagents.value(q.reagent2 - 1).look};
    for (const GasRow &gas : t.gases)
        if (!gas.apparatusNote.isEmpty() && propertiesSetup(t, gas) == QuestionSetups + q.number)
            contents.keepClear = UnderTheNote;
    return contents;
}

Record recordOf(const QuestionRow &q) {
    return {q.gas, q.reagent1, q.reagent2, q.generator, q.collection, QuestionSetups + q.number};
}

void writeMaterialRecord(const QString &root, const Tables &t) {
    QString text = QString::fromUtf8(Head);
    const auto row = [&](const QStringList &cells) {
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    };
    for (const ReagentRow &r : t.reagents)
        row({Reagent, QString::number(r.number), r.formula, stateName(r.state),
             shortHash(r.cells.toUtf8())});
    for (const GasRow &g : t.gases)
        row({Gas, QString::number(g.number), g.formula, collectionName(g.collection),
             shortHash(g.cells.toUtf8())});
    for (const QuestionRow &q : t.questions)
        row({Question, QString::number(q.number), recordText(recordOf(q)),
             QString::number(q.apparatus), q.equation, q.overArrow, q.underArrow,
             shortHash(q.cells.toUtf8())});
    for (const Planned &f : plannedFiles(root, t)) {
        const QString hash = fileHash(f.path);
        if (hash.isEmpty())
            throw std::runtime_error(
                QStringLiteral("%1: 作ったはずのファイルが読めません").arg(f.path).toStdString());
        row({File, inside(root, f.path), f.source, hash});
    }
    const QByteArray bytes = text.toUtf8();
    QFile out(dataPath(root, RecordFragment));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        throw std::runtime_error(
            QStringLiteral("%1: 書けません").arg(out.fileName()).toStdString());
}

std::optional<MaterialRecord> readMaterialRecord(const QString &root, QList<Finding> &findings) {
    QFile file(dataPath(root, RecordFragment));
    if (!file.exists())
        return std::nullopt;
    // A few hundred lines; anything far larger is no record of ours.
    constexpr qint64 Largest = 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > Largest) {
        findings.append({Severity::Error, 0, RecordName, 0,
                         QStringLiteral("この記録は読めません。表からデータを作り直してください")});
        return std::nullopt;
    }
    return RecordReader(findings).read(file.readAll());
}

QList<Finding> checkAgainstRecord(const QString &root, const MaterialRecord &made,
                                  const BankValues &bank) {
    QList<Finding> findings;
    const QString bankFile = QStringLiteral("説明/mondai.txt");
    for (auto it = made.files.begin(); it != made.files.end(); ++it) {
        const QString path = root + QLatin1Char('/') + it.key();
        if (QFile::exists(path) && fileHash(path) != it->hash)
            findings.append({Severity::Error, it->question, it.key(), 0,
                             QStringLiteral("作ったときと中身がちがいます（ほかのデータの画像が"
                                            "まざったか、手で書きかえられています）。") +
                                 Remake});
    }

    const auto madeFile = [&](const QString &fragmentName, int n) {
        return made.files.value(inside(root, picturePathUnder(root, fragmentName, n)));
    };
    // The set-up drawing a picture of the apparatus folder was built on, 0 when not known.
    const auto drawingOf = [&](int setup) {
        const MadeFile f = madeFile(fragment::Apparatus, setup);
        if (f.question > 0)
            return made.tables.questions[f.question - 1].apparatus;
        return f.source == QStringLiteral("%1 %2").arg(Drawing).arg(setup) ? setup : 0;
    };

    Tables bankTables;
    bankTables.reagents = made.tables.reagents;
    bankTables.gases = made.tables.gases;
    for (int g = 0; g < GasCount && g < bank.gasApparatus.size(); ++g) {
        bankTables.gases[g].line = bank.gasLines.value(g);
        bankTables.gases[g].apparatus = drawingOf(bank.gasApparatus[g]);
    }
    for (int i = 0; i < MaxQuestions && i < bank.questions.size(); ++i) {
        const Record &r = bank.questions[i];
        QuestionRow q;
        q.number = i + 1;
        q.line = bank.questionLines.value(i);
        bankTables.questions.append(q);
        if (std::find(r.begin(), r.end(), 0) != r.end())
            continue; // reported with its value; nothing to compare it with
        QuestionRow &asked = bankTables.questions.last();
        asked.gas = r[0];
        asked.reagent1 = r[1];
        asked.reagent2 = r[2];
        asked.generator = r[3];
        asked.collection = r[4];
        asked.apparatus = drawingOf(r[5]);
        const auto report = [&](const QString &message) {
            findings.append({Severity::Error, q.number, bankFile, q.line, message});
        };

        // The equation card and its words, made for one question each.
        const MadeFile card = madeFile(fragment::Equation, q.number);
        const MadeFile words = made.files.value(
            inside(root, pictureTextPath(picturePathUnder(root, fragment::Equation, q.number))));
        const auto belongs = [&](const MadeFile &f) {
            return f.question > 0 && sameQuestion(made.records[f.question - 1], r);
        };
        if (card.question > 0 && !belongs(card))
            report(QStringLiteral("問題 %1 の反応式の画像が問題と合いません（反応式/siki(%1).gif "
                                  "は %2 の問題のもの、%3 では %4）。")
                       .arg(q.number)
                       .arg(whatRecordHolds(made.records[card.question - 1]), bankFile,
                            whatRecordHolds(r)) +
                   Remake);
        else if (words.question > 0 && !belongs(words))
            report(QStringLiteral("問題 %1 の反応式の読み上げの文（反応式/siki(%1).txt）が問題と"
                                  "合いません（%2 の問題のもの）。")
                       .arg(q.number)
                       .arg(whatRecordHolds(made.records[words.question - 1])) +
                   Remake);
        if (belongs(card)) {
            const QuestionRow &source = made.tables.questions[card.question - 1];
            asked.equation = source.equation;
            asked.overArrow = source.overArrow;
            asked.underArrow = source.underArrow;
        }

        // The set-up picture the record names: a question's own shows that question's reagents.
        const MadeFile setup = madeFile(fragment::Apparatus, r[5]);
        if (setup.question > 0) {
            const Record &shown = made.records[setup.question - 1];
            if (shown[1] != r[1] || shown[2] != r[2] || shown[0] != r[0])
                report(QStringLiteral("問題 %1 の装置の画像（装置/souti(%2).gif）が問題と合いません"
                                      "（%3 の問題のもの、%4 では %5）。")
                           .arg(q.number)
                           .arg(r[5])
                           .arg(whatRecordHolds(shown), bankFile, whatRecordHolds(r)) +
                       Remake);
        }
    }
    findings += checkChemistry(bankTables, {bankFile, QStringLiteral("説明/taiou.txt")});
    return findings;
}

} // namespace vaporica::material
