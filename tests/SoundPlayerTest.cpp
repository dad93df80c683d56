#include "platform/QtSoundPlayer.h"

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

// A mono 16-bit PCM WAV of the given length, a quiet tone.
QByteArray wav(int milliseconds) {
    const int rate = 22050;
    const int samples = rate * milliseconds / 1000;
    QByteArray pcm;
    for (int i = 0; i < samples; ++i) {
        const qint16 v = static_cast<qint16>((i / 25) % 2 ? 3000 : -3000);
        pcm.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    }
    auto le32 = [](quint32 v) {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, 0);
        b[0] = char(v & 0xFF);
        b[1] = char(v >> 8);
        return b;
    };
    return "RIFF" + le32(36 + pcm.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) +
           le32(rate * 2) + le16(2) + le16(16) + "data" + le32(pcm.size()) + pcm;
}

struct PlayCase {
    const char *what;
    QByteArray contents; // empty: no file at all
    int warnings;
};

TEST(QtSoundPlayer, StartsAtOnceAndWarnsOnceAboutAFileItCannotPlay) {
    DataDirectory data;
    const std::vector<PlayCase> table = {
        {"a sound", wav(1500), 0},
        {"no file", QByteArray(), 1},
        {"not a sound", QByteArray("RIFF but nothing after it"), 1},
        {"a sound cut off in its header", wav(1500).left(30), 1},
    };
    for (const PlayCase &row : table) {
        SCOPED_TRACE(row.what);
        const QString path = data.root() + QStringLiteral("/音/o.wav");
        data.remove(QStringLiteral("音/o.wav"));
        if (!row.contents.isEmpty())
            data.write(QStringLiteral("音/o.wav"), row.contents);
        QtSoundPlayer player;
        ::testing::internal::CaptureStderr();
        QElapsedTimer clock;
        clock.start();
        player.play(path);
        EXPECT_LT(clock.elapsed(), 200) << "returns without waiting for the sound";
        QTest::qWait(300);
        const std::string err = ::testing::internal::GetCapturedStderr();
        int warnings = 0;
        for (std::size_t at = err.find(path.toStdString()); at != std::string::npos;
             at = err.find(path.toStdString(), at + 1))
            ++warnings;
        EXPECT_EQ(warnings, row.warnings) << err;
    }
}

} // namespace
} // namespace vaporica::test
