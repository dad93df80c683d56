#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vaporica::test {

DataDirectory::DataDirectory() : root_(QDir::toNativeSeparators(dir_.path())) {
    writeBank(standardMondai(), standardTaiou());
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

void ProgramTest::startProgram() { StartUp(data.root()); }

} // namespace vaporica::test
