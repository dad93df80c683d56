#include "platform/QtSoundPlayer.h"
#include "platform/SoundModule.h"
#include "platform/WavFile.h"

#include "TestSupport.h"

#include <QAbstractEventDispatcher>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSoundEffect>
#include <QTest>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <thread>

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

// The same sound with its data chunk's declared size replaced.
QByteArray withDataSize(QByteArray sound, quint32 size) {
    const qsizetype at = sound.indexOf("data") + 4;
    for (int i = 0; i < 4; ++i)
        sound[at + i] = char((size >> (8 * i)) & 0xFF);
    return sound;
}

// The sound's fmt, then a million empty junk chunks, then its data: structurally whole, yet each
// play would walk every chunk and Qt's loader would spend seconds on it.
QByteArray manyEmptyChunks(const QByteArray &sound) {
    const qsizetype dataAt = sound.indexOf("data");
    QByteArray junk = QByteArray("junk") + QByteArray(4, 0);
    return sound.left(dataAt) + junk.repeated(1'000'000) + sound.mid(dataAt);
}

// The sound with one more chunk of `length` bytes between its format and its data.
QByteArray withChunkBeforeTheData(const QByteArray &sound, const QByteArray &id, quint32 length) {
    const qsizetype dataAt = sound.indexOf("data");
    QByteArray header = id + QByteArray(4, 0);
    for (int i = 0; i < 4; ++i)
        header[4 + i] = char((length >> (8 * i)) & 0xFF);
    return sound.left(dataAt) + header + QByteArray(length + (length & 1), 'i') + sound.mid(dataAt);
}

// What one call of play() did on the window's thread, measured on the call itself rather than by
// the clock: the turns of an event loop run inside it (a call that waits for the sound spins one)
// — none is allowed. A call that waits for good inside Qt's sample cache never returns; the
// watchdog then ends the test run with the file named, long after any machine under load or
// sanitizer has finished a call that does not wait.
int loopTurnsDuringPlay(QtSoundPlayer &player, const QString &path) {
    int turns = 0;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    const QMetaObject::Connection awake =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&turns] { ++turns; });
    std::mutex mutex;
    std::condition_variable returned;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!returned.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
            std::fprintf(stderr, "play() has not returned: it waits on the sound (%s)\n",
                         qPrintable(path));
            std::abort();
        }
    });
    player.play(path);
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    returned.notify_one();
    watchdog.join();
    QObject::disconnect(awake);
    return turns;
}

// The longest chunk before the data that Qt's sample loader still steps over.
constexpr quint32 LongestChunkBeforeData = MaxChunkBeforeDataBytes - 8;

// Damaged sound files as a teacher's copy or a full disk leaves them, with what the check says.
struct Damage {
    const char *what;
    QByteArray contents;
    const char *problem; // empty: a sound that plays
};

std::vector<Damage> damagedSounds() {
    const QByteArray sound = wav(1500);
    const qsizetype dataAt = sound.indexOf("data") + 8;
    return {
        {"a whole sound", sound, ""},
        {"cut off in its samples", sound.left(20000), "途中で切れています"},
        {"cut off in its header", sound.left(30), "途中で切れています"},
        {"no data chunk", sound.left(36), "データ (data) がありません"},
        {"a data chunk of one byte", withDataSize(sound.left(dataAt + 1), 1), "単位"},
        {"a data size beyond the file", withDataSize(sound, 0x40000000), "途中で切れています"},
        {"no RIFF at all", "RIFF but nothing after it", "WAV ファイルではありません"},
        {"a format that is no PCM", QByteArray(sound).replace(20, 2, QByteArray("\x55\0", 2)),
         "PCM でない"},
        {"a format with no channels", QByteArray(sound).replace(22, 2, QByteArray(2, 0)),
         "fmt) が壊れています"},
        {"millions of empty chunks before the data", manyEmptyChunks(sound),
         "チャンクが多すぎます"},
        {"a chunk of notes as long as the loader steps over",
         withChunkBeforeTheData(sound, "LIST", LongestChunkBeforeData), ""},
        {"a chunk of notes one byte longer",
         withChunkBeforeTheData(sound, "LIST", LongestChunkBeforeData + 1),
         "LIST チャンクが長すぎます (16377 バイト"},
        {"a sound longer than any chime",
         withDataSize(sound, quint32(MaxSoundDataBytes + 2)) + QByteArray(MaxSoundDataBytes, 0),
         "長すぎます"},
    };
}

int occurrences(const std::string &text, const std::string &part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

struct PlayCase {
    const char *what;
    QByteArray contents; // empty: no file at all
    int warnings;
    bool starts;
};

TEST(QtSoundPlayer, StartsAtOnceAndWarnsOnceAboutAFileItCannotPlay) {
    DataDirectory data;
    const std::vector<PlayCase> table = {
        {"a sound", wav(1500), 0, true},
        {"no file", QByteArray(), 1, false},
        {"not a sound", QByteArray("RIFF but nothing after it"), 1, false},
        {"a sound cut off in its header", wav(1500).left(30), 1, false},
        // Qt's loader steps over a chunk this long and the sound is ready; over a longer one it
        // would wait for good, so that one is refused with a warning.
        {"a sound behind the longest chunk of notes",
         withChunkBeforeTheData(wav(1500), "LIST", LongestChunkBeforeData), 0, true},
        {"a sound behind a longer chunk of notes",
         withChunkBeforeTheData(wav(1500), "LIST", LongestChunkBeforeData + 2), 1, false},
    };
    for (const PlayCase &row : table) {
        SCOPED_TRACE(row.what);
        const QString path = data.root() + QStringLiteral("/音/o.wav");
        data.remove(QStringLiteral("音/o.wav"));
        if (!row.contents.isEmpty())
            data.write(QStringLiteral("音/o.wav"), row.contents);
        QtSoundPlayer player;
        ASSERT_TRUE(QtSoundPlayer::serverAsked(std::chrono::seconds(5)));
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(loopTurnsDuringPlay(player, path), 0) << "returns without waiting for the sound";
        // Playing from the call on, whether or not the machine has an audio device; shortly
        // after, the file has been read whole, so what plays is this sound.
        const QSoundEffect *effect = player.lastStarted();
        EXPECT_EQ(effect != nullptr && effect->isPlaying(), row.starts);
        EXPECT_EQ(effect != nullptr && effect->source() == QUrl::fromLocalFile(path), row.starts);
        QTest::qWait(300);
        EXPECT_EQ(effect != nullptr && effect->status() == QSoundEffect::Ready, row.starts);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(occurrences(err, path.toStdString()), row.warnings) << err;
    }
}

TEST(WavFile, ChecksTheWholeStructureAgainstTheFilesRealSize) {
    for (const Damage &row : damagedSounds()) {
        SCOPED_TRACE(row.what);
        QByteArray contents = row.contents;
        QBuffer file(&contents);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString problem = wavProblem(file);
        EXPECT_EQ(problem.isEmpty(), *row.problem == 0) << problem.toStdString();
        EXPECT_TRUE(problem.contains(QString::fromUtf8(row.problem))) << problem.toStdString();
    }
}

// A damaged sound once made the next sound on the same player wait for good inside Qt's sample
// cache: the whole window froze. Every damaged file, a named pipe and a device in between good
// sounds must leave the player answering at once, and each is reported once.
TEST(QtSoundPlayer, NoDamagedFileStopsTheNextSound) {
    DataDirectory data;
    data.write(QStringLiteral("音/o.wav"), wav(300));
    const QString good = data.root() + QStringLiteral("/音/o.wav");
    const QString bad = data.root() + QStringLiteral("/音/x.wav");
    QtSoundPlayer player;
    ASSERT_TRUE(QtSoundPlayer::serverAsked(std::chrono::seconds(5)));
    std::vector<std::pair<std::string, std::function<void()>>> spoilers;
    for (const Damage &row : damagedSounds())
        if (*row.problem != 0)
            spoilers.emplace_back(row.what, [&data, row] {
                data.remove(QStringLiteral("音/x.wav"));
                data.write(QStringLiteral("音/x.wav"), row.contents);
            });
    spoilers.emplace_back("a named pipe", [&data, bad] {
        data.remove(QStringLiteral("音/x.wav"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(bad).constData(), 0644), 0);
    });
    spoilers.emplace_back("a link to a device", [&data, bad] {
        data.remove(QStringLiteral("音/x.wav"));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), bad));
    });
    for (const auto &[what, spoil] : spoilers) {
        SCOPED_TRACE(what);
        spoil();
        ::testing::internal::CaptureStderr();
        for (const QString &path : {bad, good, bad, good}) {
            EXPECT_EQ(loopTurnsDuringPlay(player, path), 0) << path.toStdString();
            QTest::qWait(50); // the sample loads between the calls, as between two answers
        }
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(occurrences(err, bad.toStdString()), 2) << err;
        EXPECT_EQ(occurrences(err, good.toStdString()), 0) << err;
    }
}

// Qt's sample cache, torn down while a sound still loads, waits at the process's end for a loader
// that waits for it: a player that goes while its sound loads says so, and the program then ends
// without that clean-up.
TEST(QtSoundPlayer, SaysWhenItWentWhileItsSoundStillLoaded) {
    DataDirectory data;
    const QByteArray longest = withDataSize(wav(1500), quint32(MaxSoundDataBytes));
    data.write(QStringLiteral("音/x.wav"),
               longest + QByteArray(MaxSoundDataBytes - (longest.size() - 44), 0));
    // In a process of its own that ends as the program does after such a player: without Qt's
    // clean-up, whose loader would still hold the sound (and show as a leak in the sanitizer
    // build). The exit status says which step failed.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            {
                QtSoundPlayer player;
                if (!QtSoundPlayer::serverAsked(std::chrono::seconds(5)))
                    std::_Exit(2);
                player.play(data.root() + QStringLiteral("/音/x.wav"));
                if (player.lastStarted() == nullptr)
                    std::_Exit(3);
                if (player.lastStarted()->status() != QSoundEffect::Loading)
                    std::_Exit(4);
            }
            std::_Exit(QtSoundPlayer::soundLeftLoading() ? 0 : 5);
        },
        ::testing::ExitedWithCode(0), "")
        << "2: the server was not asked in time, 3: nothing started, 4: the sound was no longer "
           "loading, 5: the player did not say it went while its sound loaded";
}

// The program's player comes from the module beside it. A missing or broken module leaves the
// lesson silent with one line naming the module, however many screens ask for a player; the built
// module gives the real player, which reports a missing sound itself.
TEST(SoundModule, GivesTheRealPlayerOrASilentOneWithOneReport) {
    DataDirectory data;
    data.write(QStringLiteral("broken/vaporica-sound.so"), "not a library");
    // The library loader opens with a plain open, which waits for good on a pipe with no writer.
    QDir().mkpath(data.root() + QStringLiteral("/pipe"));
    const QString pipe = data.root() + QStringLiteral("/pipe/vaporica-sound.so");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    struct ModuleCase {
        const char *what;
        QString module;
        int moduleReports;
        int soundReports;
    };
    const QString sound = data.root() + QStringLiteral("/音/none.wav");
    const std::vector<ModuleCase> table = {
        {"the built module", QStringLiteral(VAPORICA_BUILD_DIR "/vaporica-sound.so"), 0, 2},
        {"no module", data.root() + QStringLiteral("/vaporica-sound.so"), 1, 0},
        {"a file that is no library", data.root() + QStringLiteral("/broken/vaporica-sound.so"), 1,
         0},
        {"a named pipe", pipe, 1, 0},
    };
    for (const ModuleCase &row : table) {
        SCOPED_TRACE(row.what);
        ::testing::internal::CaptureStderr();
        for (int screen = 0; screen < 2; ++screen)
            makeModuleSoundPlayer(row.module)->play(sound);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(occurrences(err, "音声モジュールを読み込めません"), row.moduleReports) << err;
        EXPECT_EQ(err.find(row.module.toStdString()) != std::string::npos, row.moduleReports > 0)
            << err;
        EXPECT_EQ(occurrences(err, sound.toStdString()), row.soundReports) << err;
    }
}

} // namespace
} // namespace vaporica::test
