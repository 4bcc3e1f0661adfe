#pragma once
// A {\pict} group: its kind, sizes and data, decoded into an image when the group closes.
#include "paginor/KpExport.h"

#include <string_view>

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace kp {

namespace rtf {

enum class TPictureKind { Unknown, Png, Jpeg, Dib, Metafile, DeviceBitmap };

constexpr int kMaxPictureSide = 8000;            // pixels, decoded pictures
constexpr qint64 kMaxPicturePixels = 25'000'000; // pixels, decoded pictures
constexpr int kMaxPictureTwips = 31680;          // 22 inches, shown size
constexpr int kMaxPlaceholderSide = 1024;        // pixels of a placeholder box

struct TPicture {
    QImage image;    // null when nothing could be shown
    QSize sizeTwips; // the size to show it at
    bool placeholder = false;
    bool tooLarge = false; // the picture's pixel size passed the cap
    bool undecodable = false;
    bool metafile = false; // a vector picture that could not be drawn
};

class PAGINOR_INTERNAL_EXPORT TPictureReader {
public:
    void Begin();
    void SetKind(TPictureKind kind) { kind_ = kind; }
    void SetWidth(int v) { picw_ = v; }
    void SetHeight(int v) { pich_ = v; }
    void SetGoalWidth(int v) { goalw_ = v; }
    void SetGoalHeight(int v) { goalh_ = v; }
    void SetScaleX(int v) { scalex_ = v; }
    void SetScaleY(int v) { scaley_ = v; }
    // Hex digits in pairs; white space and other bytes are skipped (counted in badHex).
    void AppendHex(std::string_view text);
    void AppendBinary(std::string_view bytes);
    TPicture Finish();

    int badHex = 0;

private:
    QSize ShownSize(QSize pixels) const;
    QImage Decode(TPicture& picture) const;
    // An enhanced or 16-bit metafile drawn at the shown size; null for other data.
    QImage PlayMetafile(QSize twips) const;

    TPictureKind kind_ = TPictureKind::Unknown;
    int picw_ = 0, pich_ = 0, goalw_ = 0, goalh_ = 0, scalex_ = 100, scaley_ = 100;
    QByteArray data_;
    int nibble_ = -1;
};

// A light box with a thin border, for pictures Qt cannot draw.
QImage PlaceholderImage(QSize pixels);

} // namespace rtf

} // namespace kp
