#include "GifWriter.h"

#include <QFile>
#include <QHash>
#include <array>
#include <cmath>
#include <gif_lib.h>
#include <stdexcept>
#include <vector>

namespace vaporica::material {

namespace {

const QRgb TransparentGrey = qRgb(128, 128, 128);

[[noreturn]] void fail(const QString &path, const char *what, int code) {
    throw std::runtime_error(
        QStringLiteral("%1: GIF を書けません (%2: %3)")
            .arg(path, QString::fromLatin1(what), QString::fromLatin1(GifErrorString(code)))
            .toStdString());
}

struct Indexed {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> pixels;
    int transparentIndex = -1;
};

Indexed toPalette(const QImage &source, bool transparency) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    auto isClear = [&](QRgb c) {
        return transparency && (qAlpha(c) < 128 || (c | 0xff000000u) == TransparentGrey);
    };

    Indexed out;
    out.pixels.resize(std::size_t(w) * std::size_t(h));
    const int room = transparency ? 255 : 256;

    QHash<QRgb, int> exact;
    std::vector<QRgb> opaque;
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (!isClear(line[x])) {
                const QRgb c = line[x] | 0xff000000u;
                opaque.push_back(c);
                if (exact.size() <= room && !exact.contains(c))
                    exact.insert(c, int(exact.size()));
            }
    }

    std::vector<GifByteType> opaqueIndex(opaque.size());
    if (exact.size() <= room) {
        out.palette.resize(std::size_t(exact.size()));
        for (auto it = exact.begin(); it != exact.end(); ++it)
            out.palette[std::size_t(it.value())] = {GifByteType(qRed(it.key())),
                                                    GifByteType(qGreen(it.key())),
                                                    GifByteType(qBlue(it.key()))};
        for (std::size_t i = 0; i < opaque.size(); ++i)
            opaqueIndex[i] = GifByteType(exact.value(opaque[i]));
    } else {
        std::vector<GifByteType> r(opaque.size()), g(opaque.size()), b(opaque.size());
        for (std::size_t i = 0; i < opaque.size(); ++i) {
            r[i] = GifByteType(qRed(opaque[i]));
            g[i] = GifByteType(qGreen(opaque[i]));
            b[i] = GifByteType(qBlue(opaque[i]));
        }
        int size = room;
        out.palette.resize(256);
        if (GifQuantizeBuffer(unsigned(opaque.size()), 1, &size, r.data(), g.data(), b.data(),
                              opaqueIndex.data(), out.palette.data()) == GIF_ERROR)
            throw std::runtime_error("GifQuantizeBuffer failed");
        out.palette.resize(std::size_t(size));
        // giflib picks its colours on a 5-bit grid (white would come out 248, 248, 248); each
        // entry becomes the true mean of the pixels it stands for.
        std::vector<std::array<double, 4>> sums(out.palette.size(), {0, 0, 0, 0});
        for (std::size_t i = 0; i < opaque.size(); ++i) {
            auto &s = sums[opaqueIndex[i]];
            s[0] += qRed(opaque[i]);
            s[1] += qGreen(opaque[i]);
            s[2] += qBlue(opaque[i]);
            s[3] += 1;
        }
        for (std::size_t k = 0; k < sums.size(); ++k)
            if (sums[k][3] > 0)
                out.palette[k] = {GifByteType(std::lround(sums[k][0] / sums[k][3])),
                                  GifByteType(std::lround(sums[k][1] / sums[k][3])),
                                  GifByteType(std::lround(sums[k][2] / sums[k][3]))};
    }

    if (transparency) {
        out.transparentIndex = int(out.palette.size());
        out.palette.push_back({128, 128, 128});
    }
    std::size_t k = 0;
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                isClear(line[x]) ? GifByteType(out.transparentIndex) : opaqueIndex[k++];
    }
    // giflib wants a power-of-two colour table; the padding is never referenced.
    std::size_t size = 2;
    while (size < out.palette.size())
        size *= 2;
    out.palette.resize(size, GifColorType{0, 0, 0});
    return out;
}

} // namespace

void writeGif(const QImage &picture, const QString &path, bool transparency) {
    Indexed data = toPalette(picture, transparency);
    const int w = picture.width(), h = picture.height();

    int error = 0;
    GifFileType *gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif)
        fail(path, "open", error);
    auto closeAndFail = [&](const char *what) {
        const int code = gif->Error;
        EGifCloseFile(gif, nullptr);
        fail(path, what, code);
    };
    EGifSetGifVersion(gif, transparency);
    ColorMapObject *map = GifMakeMapObject(int(data.palette.size()), data.palette.data());
    if (!map)
        closeAndFail("palette");
    int bits = 1;
    while ((1 << bits) < int(data.palette.size()))
        ++bits;
    const int described = EGifPutScreenDesc(gif, w, h, bits, 0, map);
    GifFreeMapObject(map);
    if (described == GIF_ERROR)
        closeAndFail("screen");

    if (transparency) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.TransparentColor = data.transparentIndex;
        GifByteType block[4];
        const size_t length = EGifGCBToExtension(&gcb, block);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block) == GIF_ERROR)
            closeAndFail("transparency");
    }
    if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR)
        closeAndFail("image");
    for (int y = 0; y < h; ++y)
        if (EGifPutLine(gif, data.pixels.data() + std::size_t(y) * std::size_t(w), w) == GIF_ERROR)
            closeAndFail("line");
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        fail(path, "close", error);
    // giflib creates its file for the owner alone; the data directory is read by every pupil's
    // login once it is copied or installed.
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadGroup | QFileDevice::ReadOther))
        fail(path, "chmod", 0);
}

} // namespace vaporica::material
