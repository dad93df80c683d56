#pragma once

// Fakes and fixtures the screen and bank tests share.

#include "app/ErrorReport.h"
#include "app/Navigation.h"
#include "base/SharedVariables.h"
#include "platform/Services.h"
#include "widgets/Form.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace vaporica::test {

class SettableClock final : public Clock {
public:
    double now = 36000.0;
    double secondsSinceMidnight() const override { return now; }
};

// Passes the generator through, but gives up with an exception after ten thousand draws, where a
// sequence stuck on one value would redraw for ever: such a fault fails the test instead of
// hanging it.
class BoundedRandom final : public RandomSource {
public:
    explicit BoundedRandom(RandomSource &inner) : inner_(inner) {}
    void reseed(double clockValue) override { inner_.reseed(clockValue); }
    float next() override {
        if (++draws_ > 10000)
            throw std::runtime_error("the draws never left the window");
        return inner_.next();
    }

private:
    RandomSource &inner_;
    int draws_ = 0;
};

// Plays back the given values, then steps on by a twentieth each draw so a redraw loop always
// reaches a free question instead of hanging.
class ScriptedRandom final : public RandomSource {
public:
    std::vector<float> values;
    std::size_t at = 0;
    int reseeds = 0;
    void reseed(double) override { ++reseeds; }
    float next() override {
        const std::size_t i = at++;
        if (i < values.size())
            return values[i];
        const float last = values.empty() ? 0.0f : values.back();
        const float stepped = last + 0.05f * static_cast<float>(i - values.size() + 1);
        return stepped - static_cast<float>(static_cast<int>(stepped));
    }
};

class SoundRecorder final : public SoundPlayer {
public:
    explicit SoundRecorder(QStringList *log) : log_(log) {}
    void play(const QString &path) override { log_->append(path); }

private:
    QStringList *log_;
};

// Writes a small data directory: the bank files plus whatever a test adds.
// The name a fixture picture was written with, e.g. "gas2(5)"; empty for any other picture.
QString fixtureName(const QImage &picture);

class DataDirectory {
public:
    DataDirectory();
    const QString &root() const { return root_; }
    void write(const QString &relativePath, const QByteArray &contents) const;
    void remove(const QString &relativePath) const;
    // Twenty questions, each record "gas,r1,r2,gen,coll,picture".
    void writeBank(const QByteArray &mondai, const QByteArray &taiou) const;
    static QByteArray standardMondai();
    static QByteArray standardTaiou();
    // The pictures the quiz screens load: gas1/gas2 for 1..14, yaku1/yaku2 for 1..24, siki for
    // 1..20 and souti for the standard bank's 1..5, each at the size it is drawn for and carrying
    // its own file name (see fixtureName).
    void writeQuizPictures() const;
    // The pictures the properties browser shows, at the sizes its image boxes are drawn for, each
    // carrying its own file name: seisitu(1..14) and souti(1..14).
    void writePropertiesPictures() const;
    // A small picture file that names itself; the loader reads it by content whatever its suffix.
    static QByteArray fixturePicture(const QString &name, QSize size);

private:
    QTemporaryDir dir_;
    QString root_;
};

// One row of a screen's layout table: where a control must sit, in pixels within its container.
struct Placement {
    const char *name;
    QWidget *control;
    QRect pixels;
};
void expectPlacements(const std::vector<Placement> &table);

// Resets the program's shared state and navigation, records reports instead of showing them and
// puts fakes in place of the clock, the generator and the sound player.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program on the data directory, like main() does.
    void startProgram();
    // The program has ended with a failure status through one report naming the file, and no
    // window is left showing.
    void expectEndedThroughOneReportNaming(const QString &file);
    template <class Screen> Screen *screen() { return dynamic_cast<Screen *>(currentScreen()); }

    DataDirectory data;
    std::shared_ptr<SettableClock> clock = std::make_shared<SettableClock>();
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();
    QStringList sounds;
    std::vector<QString> reports;
};

} // namespace vaporica::test
