#include "TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vaporica::test {

DataDirectory::DataDirectory() : root_(QDir::toNativeSeparators(dir_.path())) {
    writeBank(standardMondai(), standardTaiou());
    writeQuizPictures();
}

namespace {
// The name is written across the middle row, one byte a pixel beside two marker channels, so that
// it survives a format that carries no text (the program reads GIF and BMP only) and a button that
// keeps only the centre of a picture larger than itself.
constexpr int NameGreen = 0x5A, NameBlue = 0xA5;
// Two pixels that open the name, so that no drawn picture is taken for a fixture.
constexpr QRgb Opening[2] = {0xFF13579B, 0xFF2468AC};

bool isNamePixel(QRgb pixel) {
    return qGreen(pixel) == NameGreen && qBlue(pixel) == NameBlue && qRed(pixel) != 0;
}
} // namespace

QString fixtureName(const QImage &picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 2; x < picture.width(); ++x) {
            if (picture.pixel(x - 2, y) != Opening[0] || picture.pixel(x - 1, y) != Opening[1])
                continue;
            QByteArray name;
            for (; x < picture.width() && isNamePixel(picture.pixel(x, y)); ++x)
                name.append(char(qRed(picture.pixel(x, y))));
            return QString::fromUtf8(name);
        }
    return {};
}

QByteArray DataDirectory::fixturePicture(const QString &name, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(int(qHash(name) % 360), 160, 230));
    const QByteArray bytes = name.toUtf8();
    Q_ASSERT(bytes.size() + 2 <= size.width());
    const int left = (size.width() - int(bytes.size())) / 2;
    picture.setPixel(left - 2, size.height() / 2, Opening[0]);
    picture.setPixel(left - 1, size.height() / 2, Opening[1]);
    for (int i = 0; i < bytes.size(); ++i)
        picture.setPixel(left + i, size.height() / 2, qRgb(quint8(bytes[i]), NameGreen, NameBlue));
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return file;
}

void DataDirectory::writePropertiesPictures() const {
    for (int n = 1; n <= 14; ++n) {
        const QString properties = QStringLiteral("seisitu(%1)").arg(n);
        write(QStringLiteral("性質/") + properties + QStringLiteral(".gif"),
              fixturePicture(properties, {342, 237}));
        const QString apparatus = QStringLiteral("souti(%1)").arg(n);
        write(QStringLiteral("装置/") + apparatus + QStringLiteral(".gif"),
              fixturePicture(apparatus, {427, 196}));
    }
}

void DataDirectory::writeQuizPictures() const {
    struct Family {
        const char *folder, *prefix;
        int count;
        QSize size;
    };
    static const Family families[] = {
        {"気体", "gas1", 14, {120, 40}},   {"気体", "gas2", 14, {120, 40}},
        {"薬品", "yaku1", 24, {180, 40}},  {"薬品", "yaku2", 24, {180, 40}},
        {"反応式", "siki", 20, {485, 95}}, {"装置", "souti", 5, {312, 248}}};
    for (const Family &f : families)
        for (int n = 1; n <= f.count; ++n) {
            const QString name = QStringLiteral("%1(%2)").arg(QLatin1String(f.prefix)).arg(n);
            write(QString::fromUtf8(f.folder) + QLatin1Char('/') + name + QStringLiteral(".gif"),
                  fixturePicture(name, f.size));
        }
}

void DataDirectory::write(const QString &relativePath, const QByteArray &contents) const {
    const QString path = root_ + QDir::separator() + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.write(contents);
}

void DataDirectory::remove(const QString &relativePath) const {
    QFile::remove(root_ + QDir::separator() + relativePath);
}

void DataDirectory::writeBank(const QByteArray &mondai, const QByteArray &taiou) const {
    write(QStringLiteral("説明/mondai.txt"), mondai);
    write(QStringLiteral("説明/taiou.txt"), taiou);
}

QByteArray DataDirectory::standardMondai() {
    // Question q asks for gas ((q - 1) mod 14) + 1 from reagents q and q + 4.
    QByteArray text;
    for (int q = 1; q <= 20; ++q)
        text += QByteArray::number((q - 1) % 14 + 1) + ',' + QByteArray::number(q) + ',' +
                QByteArray::number(q + 4) + ',' + QByteArray::number((q - 1) % 4 + 1) + ',' +
                QByteArray::number((q - 1) % 3 + 1) + ',' + QByteArray::number(q % 5 + 1) + "\r\n";
    return text;
}

QByteArray DataDirectory::standardTaiou() {
    QByteArray text;
    for (int g = 1; g <= 14; ++g)
        text += QByteArray::number(g % 5 + 1) + "\r\n";
    return text;
}

void ProgramTest::SetUp() {
    resetNavigation();
    resetSharedVariables();
    setErrorReporter([this](const RuntimeError &e) { reports.push_back(e.reportLine()); });
    Services &s = services();
    s.clock = clock;
    s.random = random;
    s.makeSoundPlayer = [this] { return std::make_unique<SoundRecorder>(&sounds); };
}

void ProgramTest::TearDown() {
    resetNavigation();
    useStandardErrorReporter();
}

void expectPlacements(const std::vector<Placement> &table) {
    for (const Placement &row : table)
        EXPECT_EQ(row.control->geometry(), row.pixels) << row.name;
}

void ProgramTest::expectEndedThroughOneReportNaming(const QString &file) {
    EXPECT_TRUE(programHasEnded());
    EXPECT_NE(programExitStatus(), 0);
    EXPECT_EQ(currentScreen(), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(file)) << reports[0].toStdString();
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

void ProgramTest::startProgram() {
    StartUp(data.root());
}

} // namespace vaporica::test
