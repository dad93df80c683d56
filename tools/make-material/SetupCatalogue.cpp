#include "SetupCatalogue.h"

#include "ApparatusArt.h"
#include "base/Names.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"

#include <QFile>
#include <QStringList>

#include <utility>

// Resources compiled into a static library are linked only when something refers to them, and the
// macro must be used outside any namespace.
static void initApparatusResources() {
    Q_INIT_RESOURCE(apparatus);
}

namespace vaporica {

QString apparatusResource(const char *name) {
    initApparatusResources();
    return QStringLiteral(":/apparatus/") + QLatin1String(name);
}

namespace {

// The vessels as the set-up table names them, in the order of Vessel.
const QStringList kVesselNames = {QStringLiteral("水の洗気びん"),
                                  QStringLiteral("濃硫酸の洗気びん"),
                                  QStringLiteral("ソーダ石灰の乾燥管")};

// Named in errors as a developer finds it; the build compiles it in as a resource.
const QString kSetupSource = QStringLiteral("material/apparatus/setups.tsv");
const QString kSetupColumns = QStringLiteral("番号\t発生装置\t温度計\t間の器具\t捕集");

// One row of setups.tsv; a cell out of form is a runtime error naming the table, line and cell.
Setup setupRow(const QStringList &cells, int line) {
    const auto fail = [&](const QString &what) {
        return RuntimeError(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("装置図の表 %1 行目: %2").arg(line).arg(what),
                            kSetupSource);
    };
    if (cells.size() != 5)
        throw fail(QStringLiteral("列が %1 個あります（5 個のはずです）").arg(cells.size()));
    Setup setup{};
    bool ok = false;
    setup.number = cells[0].toInt(&ok);
    if (!ok)
        throw fail(QStringLiteral("番号 \"%1\" は整数ではありません").arg(cells[0]));
    setup.generator = cells[1].toInt(&ok);
    if (!ok || setup.generator < 1 || setup.generator > GeneratorCount)
        throw fail(QStringLiteral("発生装置 \"%1\" は 1..%2 ではありません")
                       .arg(cells[1])
                       .arg(GeneratorCount));
    if (!cells[2].isEmpty() && cells[2] != QStringLiteral("あり"))
        throw fail(QStringLiteral("温度計 \"%1\" は あり か空欄です").arg(cells[2]));
    setup.thermometer = !cells[2].isEmpty();
    if (!cells[3].isEmpty())
        for (const QString &name : cells[3].split(QStringLiteral("・"))) {
            const qsizetype vessel = kVesselNames.indexOf(name);
            if (vessel < 0)
                throw fail(QStringLiteral("間の器具 \"%1\" は %2 のどれでもありません")
                               .arg(name, kVesselNames.join(QStringLiteral("・"))));
            setup.between.push_back(Vessel(vessel));
        }
    for (int c = 1; c <= CollectorCount; ++c)
        if (collectionName(c) == cells[4])
            setup.collector = c;
    if (setup.collector == 0)
        throw fail(
            QStringLiteral("捕集 \"%1\" は 下方置換・上方置換・水上置換 のどれでもありません")
                .arg(cells[4]));
    return setup;
}

} // namespace

const std::vector<Setup> &setups() {
    static const std::vector<Setup> table = [] {
        const QString path = apparatusResource("setups.tsv");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("装置図の表が読めません"),
                               path);
        std::vector<Setup> rows;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        bool header = true;
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed().isEmpty() || lines[i].startsWith(QLatin1Char('#')))
                continue;
            if (std::exchange(header, false)) {
                if (lines[i] != kSetupColumns)
                    throw RuntimeError(ErrorNumber::InvalidFileFormat,
                                       QStringLiteral("装置図の表 %1 行目: 見出しは「%2」です")
                                           .arg(i + 1)
                                           .arg(QString(kSetupColumns).replace('\t', ' ')),
                                       kSetupSource);
                continue;
            }
            rows.push_back(setupRow(lines[i].split(QLatin1Char('\t')), i + 1));
        }
        return rows;
    }();
    return table;
}

const Setup &setupNumbered(int n) {
    for (const Setup &setup : setups())
        if (setup.number == n)
            return setup;
    throw subscriptError("setupPicture", n, 1, int(setups().size()));
}

SetupAnswers setupAnswers(int n) {
    const Setup &setup = setupNumbered(n);
    return {setup.generator, setup.collector};
}

QList<int> setupNumbers() {
    QList<int> numbers;
    for (const Setup &setup : setups())
        numbers.append(setup.number);
    return numbers;
}

} // namespace vaporica
