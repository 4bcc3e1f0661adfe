#include "drawing/KpPictureStore.h"

#include <cstring>

#include "drawing/KpStream.h"
#include "platform/KpPicture.h"
#include "platform/KpPictureCheck.h"

namespace kp {

namespace KpPictureStore {

namespace {

constexpr char kPictureTag[4] = {'K', 'P', 'Q', 'P'};
constexpr int64_t kPictureHeader = 16; // tag, size, width, height
constexpr int64_t kBitmapHeader = 14;
// An enhanced metafile from the original platform: its header record (type 1) holds the
// signature " EMF" at offset 40 and the whole metafile's length at offset 48.
constexpr int64_t kMetafileHeader = 88;
constexpr char kMetafileSignature[4] = {' ', 'E', 'M', 'F'};

uint32_t LittleEndian32(const char* p) {
    const auto* u = reinterpret_cast<const uint8_t*>(p);
    return static_cast<uint32_t>(u[0]) | (static_cast<uint32_t>(u[1]) << 8) |
           (static_cast<uint32_t>(u[2]) << 16) | (static_cast<uint32_t>(u[3]) << 24);
}

[[noreturn]] void Fail(TKpReadErrorKind kind, const TKpExtStream& stream, const char* message) {
    throw EStreamReadError(kind, stream.Offset(), message);
}

// A stated size below its header is no image; one beyond the bytes left is cut short.
void CheckSize(const TKpExtStream& stream, int64_t size, int64_t header) {
    if (size < header) Fail(TKpReadErrorKind::BadImage, stream, "Stream read error");
    if (size > stream.Remaining()) Fail(TKpReadErrorKind::Truncated, stream, "Stream read error");
}

bool IsPlatformMetafile(const char* p, int64_t remaining) {
    return remaining >= kMetafileHeader && LittleEndian32(p) == 1 &&
           std::memcmp(p + 40, kMetafileSignature, 4) == 0;
}

// The size a stored image at the stream's position says it has (its header included),
// checked against what remains.
int64_t StoredSize(const TKpExtStream& stream) {
    const int64_t remaining = stream.Remaining();
    const char* p = stream.Data() + stream.Position();
    if (remaining >= kPictureHeader && std::memcmp(p, kPictureTag, 4) == 0) {
        const int64_t size = LittleEndian32(p + 4);
        CheckSize(stream, size, kPictureHeader);
        return size;
    }
    if (remaining >= kBitmapHeader && p[0] == 'B' && p[1] == 'M') {
        const int64_t size = LittleEndian32(p + 2);
        CheckSize(stream, size, kBitmapHeader);
        return size;
    }
    if (IsPlatformMetafile(p, remaining)) {
        const int64_t size = LittleEndian32(p + 48);
        CheckSize(stream, size, kMetafileHeader);
        return size;
    }
    Fail(TKpReadErrorKind::BadImage, stream, "Stream read error: unknown embedded image form");
}

} // namespace

void WritePicture(TKpExtStream& stream, const TKpMetafile& picture) {
    if (picture.Form() == TKpPictureForm::Emf) {
        // An enhanced metafile goes back as the bytes it came with, as long as its header
        // states their length (a reader finds the fields after it by that length).
        const QByteArray& bytes = picture.MetafileBytes();
        if (IsPlatformMetafile(bytes.constData(), bytes.size())) {
            const int64_t stated = LittleEndian32(bytes.constData() + 48);
            if (stated >= kMetafileHeader && stated <= bytes.size()) {
                stream.Write(bytes.constData(), stated);
                return;
            }
        }
    }
    const QByteArray data = picture.Empty()
                                ? QByteArray()
                                : QByteArray(picture.Picture().data(), picture.Picture().size());
    stream.Write(kPictureTag, 4);
    stream.WriteInteger(static_cast<int32_t>(kPictureHeader + data.size()));
    stream.WriteInteger(picture.Width());
    stream.WriteInteger(picture.Height());
    stream.Write(data.constData(), data.size());
}

void ReadPicture(TKpExtStream& stream, TKpMetafile& picture) {
    const char* p = stream.Data() + stream.Position();
    picture.Clear();
    if (IsPlatformMetafile(p, stream.Remaining())) {
        // A metafile of the original platform is kept as its bytes, played from them and
        // written back unchanged. One whose header the player refuses stays an empty picture.
        const int64_t size = SkipImage(stream);
        if (!picture.LoadFromBytes(QByteArray(p, static_cast<qsizetype>(size)))) {
            picture.SetWidth(0);
            picture.SetHeight(0);
        }
        return;
    }
    if (stream.Remaining() < kPictureHeader || std::memcmp(p, kPictureTag, 4) != 0)
        Fail(TKpReadErrorKind::BadImage, stream, "Stream read error: not a stored picture");
    const int64_t size = StoredSize(stream);
    const int32_t width = static_cast<int32_t>(LittleEndian32(p + 8));
    const int32_t height = static_cast<int32_t>(LittleEndian32(p + 12));
    if (size > kPictureHeader) {
        // Nothing plays the recording before it has been checked.
        const QByteArrayView data(p + kPictureHeader, size - kPictureHeader);
        const QString why = kp::CheckPictureData(data);
        if (!why.isEmpty())
            throw EStreamReadError(TKpReadErrorKind::BadImage, stream.Offset(),
                                   ("embedded picture refused: " + why).toStdString());
        picture.Picture().setData(data.constData(), static_cast<uint>(data.size()));
        // The page size is the frame, as when the picture was recorded.
        if (width > 0 && height > 0) picture.Picture().setBoundingRect(QRect(0, 0, width, height));
    }
    picture.SetWidth(width);
    picture.SetHeight(height);
    stream.SetPosition(stream.Position() + size);
}

void WriteBitmap(TKpExtStream& stream, const QByteArray& bitmapFile) {
    if (bitmapFile.size() >= kBitmapHeader && bitmapFile.startsWith("BM") &&
        LittleEndian32(bitmapFile.constData() + 2) == static_cast<uint32_t>(bitmapFile.size())) {
        stream.Write(bitmapFile.constData(), bitmapFile.size());
        return;
    }
    // No bitmap (or bytes whose header does not state their size): an empty file header
    // keeps the record readable.
    char header[kBitmapHeader] = {'B', 'M', kBitmapHeader, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    stream.Write(header, kBitmapHeader);
}

QByteArray ReadBitmap(TKpExtStream& stream) {
    const char* p = stream.Data() + stream.Position();
    if (stream.Remaining() < kBitmapHeader || p[0] != 'B' || p[1] != 'M')
        Fail(TKpReadErrorKind::BadImage, stream, "Stream read error: not a stored bitmap");
    const int64_t size = StoredSize(stream);
    QByteArray bytes;
    if (size > kBitmapHeader) bytes = QByteArray(p, static_cast<qsizetype>(size));
    stream.SetPosition(stream.Position() + size);
    return bytes;
}

int64_t SkipImage(TKpExtStream& stream) {
    const int64_t size = StoredSize(stream);
    stream.SetPosition(stream.Position() + size);
    return size;
}

} // namespace KpPictureStore

} // namespace kp
