#include "richtext/KpRtfPicture.h"

#include <algorithm>

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include "platform/KpMetafilePlayer.h"

namespace kp {

namespace rtf {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int ClampTwips(qint64 v) {
    return static_cast<int>(std::clamp<qint64>(v, 1, kMaxPictureTwips));
}

// A device-independent bitmap in a picture has no file header; Qt's BMP reader wants one.
QByteArray WithBitmapFileHeader(const QByteArray& dib) {
    if (dib.size() < 40) return {};
    const auto* p = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(p);
    if (headerSize < 12 || headerSize > static_cast<quint32>(dib.size())) return {};
    quint32 colors = 0;
    quint32 masks = 0;
    if (headerSize >= 40) {
        const quint16 bitCount = qFromLittleEndian<quint16>(p + 14);
        const quint32 compression = qFromLittleEndian<quint32>(p + 16);
        const quint32 used = qFromLittleEndian<quint32>(p + 32);
        colors = used != 0 ? used : (bitCount <= 8 ? (1u << bitCount) : 0);
        if (headerSize == 40 && (compression == 3 || compression == 6)) masks = 12;
    }
    const quint64 offset = 14 + quint64(headerSize) + masks + quint64(std::min(colors, 256u)) * 4;
    QByteArray file(14, '\0');
    auto* h = reinterpret_cast<uchar*>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(14 + dib.size()), h + 2);
    qToLittleEndian<quint32>(static_cast<quint32>(std::min<quint64>(offset, 0xFFFFFFFFu)), h + 10);
    return file + dib;
}

} // namespace

void TPictureReader::Begin() {
    kind_ = TPictureKind::Unknown;
    picw_ = pich_ = goalw_ = goalh_ = 0;
    scalex_ = scaley_ = 100;
    data_.clear();
    nibble_ = -1;
}

void TPictureReader::AppendHex(std::string_view text) {
    data_.reserve(data_.size() + static_cast<qsizetype>(text.size() / 2));
    for (char c : text) {
        const int v = HexValue(c);
        if (v < 0) {
            if (c != ' ' && c != '\t') ++badHex;
            continue;
        }
        if (nibble_ < 0) {
            nibble_ = v;
        } else {
            data_.append(static_cast<char>(nibble_ * 16 + v));
            nibble_ = -1;
        }
    }
}

void TPictureReader::AppendBinary(std::string_view bytes) {
    data_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QSize TPictureReader::ShownSize(QSize pixels) const {
    qint64 w = goalw_, h = goalh_;
    if (kind_ == TPictureKind::Metafile) { // \picw and \pich are in 0.01 mm
        if (w <= 0) w = qint64(picw_) * 1440 / 2540;
        if (h <= 0) h = qint64(pich_) * 1440 / 2540;
    } else { // pixels at 96 dpi
        if (w <= 0) w = qint64(pixels.width() > 0 ? pixels.width() : picw_) * 15;
        if (h <= 0) h = qint64(pixels.height() > 0 ? pixels.height() : pich_) * 15;
    }
    const qint64 sx = scalex_ > 0 ? std::min(scalex_, 10000) : 100;
    const qint64 sy = scaley_ > 0 ? std::min(scaley_, 10000) : 100;
    return QSize(ClampTwips(w * sx / 100), ClampTwips(h * sy / 100));
}

QImage TPictureReader::Decode(TPicture& picture) const {
    QByteArray bytes = kind_ == TPictureKind::Dib ? WithBitmapFileHeader(data_) : data_;
    if (bytes.isEmpty()) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const char* format = kind_ == TPictureKind::Png    ? "png"
                         : kind_ == TPictureKind::Jpeg ? "jpeg"
                                                       : "bmp";
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
                           qint64(size.width()) * size.height() > kMaxPicturePixels)) {
        picture.tooLarge = true;
        return {};
    }
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

QImage TPictureReader::PlayMetafile(QSize twips) const {
    if (KpMetafileKind(data_) == TKpMetafileKind::None) return {};
    // Drawn at twice the screen's resolution, so that print and PDF stay sharp.
    const qint64 w = std::max(1, twips.width() * 2 / 15), h = std::max(1, twips.height() * 2 / 15);
    if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels) return {};
    QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    // A damaged metafile shows what came before the damage.
    KpPlayMetafile(data_, painter, QRectF(0, 0, double(w), double(h)));
    return image;
}

TPicture TPictureReader::Finish() {
    TPicture picture;
    switch (kind_) {
    case TPictureKind::Png:
    case TPictureKind::Jpeg:
    case TPictureKind::Dib:
        picture.image = Decode(picture);
        picture.undecodable = picture.image.isNull() && !picture.tooLarge;
        break;
    case TPictureKind::Metafile:
        // Enhanced and 16-bit metafiles are played; other vector kinds stay a box.
        picture.sizeTwips = ShownSize({});
        picture.image = PlayMetafile(picture.sizeTwips);
        picture.metafile = picture.image.isNull();
        break;
    default: // device-dependent bitmaps: only their size is known
        break;
    }
    picture.sizeTwips = ShownSize(picture.image.size());
    if (picture.image.isNull()) {
        picture.placeholder = true;
        picture.image = PlaceholderImage(
            QSize(picture.sizeTwips.width() / 15, picture.sizeTwips.height() / 15));
    }
    data_.clear();
    data_.squeeze();
    return picture;
}

QImage PlaceholderImage(QSize pixels) {
    const QSize size(std::clamp(pixels.width(), 2, kMaxPlaceholderSide),
                     std::clamp(pixels.height(), 2, kMaxPlaceholderSide));
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF4, 0xF4));
    QPainter painter(&image);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return image;
}

} // namespace rtf

} // namespace kp
