#include "Sounds.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <sndfile.h>
#include <stdexcept>
#include <vector>

namespace vaporica::material {

namespace {

constexpr int Rate = 44100;
constexpr double Tau = 2.0 * std::numbers::pi;

void writeWav(const QString &path, std::vector<float> samples) {
    for (float &v : samples)
        v = std::clamp(v, -1.0f, 1.0f);
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error(QStringLiteral("%1: WAV を書けません (%2)")
                                     .arg(path, QString::fromUtf8(sf_strerror(nullptr)))
                                     .toStdString());
    const sf_count_t written = sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    const int closed = sf_close(file);
    if (written != sf_count_t(samples.size()) || closed != 0)
        throw std::runtime_error(
            QStringLiteral("%1: WAV を書き終えられません").arg(path).toStdString());
}

// A struck bell tone: a few partials, each dying away on its own, after a 4 ms attack so it
// starts without a click.
void addBell(std::vector<float> &out, double start, double frequency, double length, double level) {
    struct Partial {
        double ratio, amplitude, decay;
    };
    const Partial partials[] = {{1.0, 1.0, 5.0}, {2.0, 0.35, 8.0}, {3.01, 0.12, 12.0}};
    const auto first = std::size_t(start * Rate);
    const auto count = std::size_t(length * Rate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = double(i) / Rate;
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, (length - t) / 0.02);
        double v = 0.0;
        for (const Partial &p : partials)
            v += p.amplitude * std::exp(-p.decay * t) * std::sin(Tau * frequency * p.ratio * t);
        out[first + i] += float(level * attack * release * v);
    }
}

} // namespace

void writeChime(const QString &path) {
    // "Pin-pon": E6 then a bright C7 above it, the second ringing on slightly longer.
    const double total = 0.75;
    std::vector<float> s(std::size_t(total * Rate), 0.0f);
    addBell(s, 0.0, 1318.5, 0.30, 0.42);
    addBell(s, 0.16, 2093.0, 0.59, 0.38);
    writeWav(path, s);
}

void writeBuzzer(const QString &path) {
    // Two low, slightly detuned square-like tones beat against each other: an unmistakable "bzzz".
    const double length = 0.45;
    std::vector<float> s(std::size_t(length * Rate));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / Rate;
        double v = 0.0;
        // Odd harmonics up to the 9th: square-ish but not harsh.
        for (int k = 1; k <= 9; k += 2)
            v += (std::sin(Tau * 110.0 * k * t) + std::sin(Tau * 116.5 * k * t)) / k;
        const double envelope = std::min(1.0, t / 0.01) * std::min(1.0, (length - t) / 0.04);
        s[i] = float(0.22 * envelope * v);
    }
    writeWav(path, s);
}

} // namespace vaporica::material
