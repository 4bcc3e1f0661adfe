// The stored records of pages and drawing objects: an object is its type id followed by one
// chunk per level of its class, from the base down.
#include <QString>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "drawing/KpPictureStore.h"
#include "drawing/KpStream.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpWinFlags.h"

namespace kp {

namespace {

// Graphic records of writers before these versions end earlier.
const Extended kCopyModeVersion = ExtendedFromDecimal("2.32");
const Extended kPrintFlagVersion = ExtendedFromDecimal("2.42");

// One chunk of the parent, read into its own stream.
struct TChunkReader {
    TKpExtStream s;
    explicit TChunkReader(TKpExtStream& parent) { s.LoadChunk(parent); }
};

} // namespace

void TKpBaseObject::SaveToStream(TKpExtStream& stream) const {
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(X1);
    stream.WriteInteger(Y1);
    stream.EndChunk(mark);
}

void TKpBaseObject::LoadFromStream(TKpExtStream& stream, Extended) {
    TChunkReader c(stream);
    X1 = c.s.ReadInteger();
    Y1 = c.s.ReadInteger();
}

void TKpTextObject::SaveToStream(TKpExtStream& stream) const {
    TKpBaseObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteBrush(Brush);
    stream.WriteString(Text);
    stream.WriteFont(Font);
    stream.EndChunk(mark);
}

void TKpTextObject::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpBaseObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    Brush = c.s.ReadBrush();
    Text = c.s.ReadString();
    Font = c.s.ReadFont();
}

void TKpTextBoxObject::SaveToStream(TKpExtStream& stream) const {
    TKpTextObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(Alignment);
    stream.WriteInteger(X2);
    stream.WriteInteger(Y2);
    stream.WritePen(Pen);
    stream.EndChunk(mark);
}

void TKpTextBoxObject::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpTextObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    Alignment = static_cast<TAlignment>(CheckedEnum(c.s, taCenter, "alignment"));
    X2 = c.s.ReadInteger();
    Y2 = c.s.ReadInteger();
    Pen = c.s.ReadPen();
    // The vertical layout is not stored.
    Layout = tlTop;
}

void TKpLineObject::SaveToStream(TKpExtStream& stream) const {
    TKpBaseObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WritePen(Pen);
    stream.WriteInteger(X2);
    stream.WriteInteger(Y2);
    stream.WriteInteger(Reserved);
    stream.EndChunk(mark);
}

void TKpLineObject::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpBaseObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    Pen = c.s.ReadPen();
    X2 = c.s.ReadInteger();
    Y2 = c.s.ReadInteger();
    Reserved = c.s.ReadInteger();
}

void TKpGraphicObject::SaveToStream(TKpExtStream& stream) const {
    TKpBaseObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(X2);
    stream.WriteInteger(Y2);
    stream.WriteByte(MetafileAsBitmap ? 1 : 0);
    // A graphic that holds no picture is stored as a bitmap object without a bitmap.
    const bool asPicture = ImageKind == kpImageMetafile && Picture;
    stream.WriteInteger(asPicture ? kpImageMetafile : kpImageBitmap);
    if (asPicture)
        KpPictureStore::WritePicture(stream, *Picture);
    else
        KpPictureStore::WriteBitmap(stream, BitmapData);
    stream.WriteInteger(static_cast<int32_t>(CopyMode));
    stream.WriteByte(PrintMetafileAsBitmap ? 1 : 0);
    stream.EndChunk(mark);
}

void TKpGraphicObject::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpBaseObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    X2 = c.s.ReadInteger();
    Y2 = c.s.ReadInteger();
    MetafileAsBitmap = c.s.ReadByte() != 0;
    const int64_t kindAt = c.s.Offset();
    const int32_t kind = c.s.ReadInteger();
    if (kind == kpImageMetafile) {
        auto picture = std::make_unique<TKpMetafile>();
        KpPictureStore::ReadPicture(c.s, *picture);
        Picture = std::move(picture);
        BitmapData.clear();
        ImageKind = kpImageMetafile;
    } else if (kind == kpImageBitmap) {
        BitmapData = KpPictureStore::ReadBitmap(c.s);
        Picture.reset();
        ImageKind = kpImageBitmap;
    } else {
        throw EStreamReadError(
            TKpReadErrorKind::UnknownType, kindAt,
            QStringLiteral("Stream read error: unknown image kind %1").arg(kind).toStdString());
    }
    CopyMode = fileVersion >= kCopyModeVersion ? static_cast<uint32_t>(c.s.ReadInteger())
                                               : static_cast<uint32_t>(SRCCOPY);
    PrintMetafileAsBitmap = fileVersion >= kPrintFlagVersion ? c.s.ReadByte() != 0 : false;
}

void TKpSimpleShape::SaveToStream(TKpExtStream& stream) const {
    TKpBaseObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteBrush(Brush);
    stream.WritePen(Pen);
    stream.WriteInteger(X2);
    stream.WriteInteger(Y2);
    stream.EndChunk(mark);
}

void TKpSimpleShape::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpBaseObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    Brush = c.s.ReadBrush();
    Pen = c.s.ReadPen();
    X2 = c.s.ReadInteger();
    Y2 = c.s.ReadInteger();
}

void TKpRoundRectShape::SaveToStream(TKpExtStream& stream) const {
    TKpSimpleShape::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(X3);
    stream.WriteInteger(Y3);
    stream.EndChunk(mark);
}

void TKpRoundRectShape::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpSimpleShape::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    X3 = c.s.ReadInteger();
    Y3 = c.s.ReadInteger();
}

void TKpComplexShape::SaveToStream(TKpExtStream& stream) const {
    TKpSimpleShape::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(X3);
    stream.WriteInteger(Y3);
    stream.WriteInteger(X4);
    stream.WriteInteger(Y4);
    stream.EndChunk(mark);
}

void TKpComplexShape::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpSimpleShape::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    X3 = c.s.ReadInteger();
    Y3 = c.s.ReadInteger();
    X4 = c.s.ReadInteger();
    Y4 = c.s.ReadInteger();
}

void TKpPolyBaseObject::SaveToStream(TKpExtStream& stream) const {
    TKpBaseObject::SaveToStream(stream);
    const int64_t mark = stream.BeginChunk();
    stream.WriteBrush(Brush);
    stream.WritePen(Pen);
    stream.WriteInteger(static_cast<int32_t>(Points.size()) - 1);
    for (const QPoint& p : Points) {
        stream.WriteInteger(p.x());
        stream.WriteInteger(p.y());
    }
    stream.EndChunk(mark);
}

void TKpPolyBaseObject::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TKpBaseObject::LoadFromStream(stream, fileVersion);
    TChunkReader c(stream);
    Brush = c.s.ReadBrush();
    Pen = c.s.ReadPen();
    const int64_t countAt = c.s.Offset();
    const int64_t count = static_cast<int64_t>(c.s.ReadInteger()) + 1;
    Points.clear();
    if (count <= 0) return;
    // Each point takes 8 bytes: a count the chunk cannot hold is refused before allocating.
    if (count > c.s.Remaining() / 8)
        throw EStreamReadError(TKpReadErrorKind::BadCount, countAt, "Stream read error");
    Points.reserve(static_cast<qsizetype>(count));
    for (int64_t i = 0; i < count; ++i) {
        const int32_t x = c.s.ReadInteger();
        const int32_t y = c.s.ReadInteger();
        Points.append(QPoint(x, y));
    }
}

void TKpPage::SaveToStream(TKpExtStream& stream) const {
    const int64_t mark = stream.BeginChunk();
    stream.WriteInteger(orientation_);
    stream.WriteInteger(Count());
    for (const auto& object : objects_) {
        stream.WriteInteger(object->ObjectType);
        object->SaveToStream(stream);
    }
    stream.EndChunk(mark);
}

void TKpPage::LoadFromStream(TKpExtStream& stream, Extended fileVersion) {
    TChunkReader c(stream);
    // Errors name the page and the object they were found in, on one line, and keep their
    // kind and offset.
    int32_t count = 0;
    try {
        orientation_ = static_cast<TKpOrientation>(CheckedEnum(c.s, kpLandscape, "orientation"));
        count = c.s.ReadInteger();
    } catch (const EReadError& e) {
        ThrowReadErrorIn(QStringLiteral("Page %1: ").arg(PageNum), e);
    }
    for (int32_t i = 0; i < count; ++i) {
        const int64_t typeAt = c.s.Offset();
        const int32_t type = c.s.ReadInteger();
        TKpObjectPtr<TKpBaseObject> object = CreateObjectOfType(type, ObjectPool());
        // An unknown kind gives no length for its record, so nothing after it can be found.
        if (!object)
            throw EStreamReadError(TKpReadErrorKind::UnknownType, typeAt,
                                   QStringLiteral("Page %1: unknown object type id %2")
                                       .arg(PageNum)
                                       .arg(type)
                                       .toStdString());
        TKpBaseObject* added = object.get();
        AddObject(std::move(object));
        try {
            added->LoadFromStream(c.s, fileVersion);
        } catch (const EReadError& e) {
            ThrowReadErrorIn(
                QStringLiteral("Page %1, object %2 (type %3): ").arg(PageNum).arg(i + 1).arg(type),
                e);
        }
    }
}

} // namespace kp
