#pragma once
// Drawing objects: one recorded drawing call each, with its geometry in KpUnits from the
// page corner, the brush in force when it was recorded, and the pen and font as shared blocks
// (identical ones are stored once).
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QVector>

#include "drawing/KpObjectPool.h"
#include "drawing/KpSharedStyle.h"
#include "platform/KpGraphics.h"
#include "platform/KpMath.h"

class QImage;

namespace kp {

class TKpDeviceCanvas;
class TKpExtStream;
class TKpMetafile;
struct TKpDrawContext;

// Object type ids as stored in document files (as 32-bit integers; one byte in an object).
enum TKpObjectType : uint8_t {
    kpTextObject = 1,
    kpLineObject = 2,
    kpEllipseShape = 3,
    kpRectangleShape = 4,
    kpRoundRectShape = 5,
    kpTextBoxObject = 6,
    kpPolygonObject = 7,
    kpPolyLineObject = 8,
    kpGraphicObject = 9,
    kpArcShape = 10,
    kpChordShape = 11,
    kpPieShape = 12,
    kpPolyBezierObject = 13
};

enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum TTextLayout : uint8_t { tlTop = 0, tlCenter = 1, tlBottom = 2 };

struct PAGINOR_EXPORT TKpBrushData {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TKpBrushData&) const = default;
};

struct PAGINOR_EXPORT TKpPenData {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int32_t Width = 1;
    TPenMode Mode = pmCopy;
    bool operator==(const TKpPenData&) const = default;
};

struct PAGINOR_EXPORT TKpFontData {
    Extended Angle = 0; // degrees, counter-clockwise
    TColor Color = clBlack;
    QString Name = QStringLiteral("Arial");
    int32_t Size = 8; // points
    TFontStyles Style = 0;
    bool operator==(const TKpFontData&) const = default;
};

PAGINOR_EXPORT TKpBrushData GetBrushData(const TKpBrush& brush);
PAGINOR_EXPORT void SetBrushData(TKpBrush& brush, const TKpBrushData& data);
PAGINOR_EXPORT TKpPenData GetPenData(const TKpPen& pen);
PAGINOR_EXPORT void SetPenData(TKpPen& pen, const TKpPenData& data);
PAGINOR_EXPORT TKpFontData GetFontData(const TKpFont& font);
// Colour, face, size (at the font's pixels per inch), style; then the height scaled; then
// the escapement from the angle.
PAGINOR_EXPORT void SetFontData(TKpFont& font, const TKpFontData& data, Extended scale);

class TKpBaseObject;

// Frees a drawing object wherever it was made: in a document's object pool or on the heap.
struct PAGINOR_EXPORT TKpObjectDeleter {
    TKpObjectPool* Pool = nullptr;
    void operator()(TKpBaseObject* object) const noexcept;
};
template <class T> using TKpObjectPtr = std::unique_ptr<T, TKpObjectDeleter>;

class PAGINOR_EXPORT TKpBaseObject {
    friend struct TKpObjectDeleter;
    template <class T> friend TKpObjectPtr<T> MakeObject(TKpObjectPool* pool);

public:
    explicit TKpBaseObject(TKpObjectType type) : ObjectType(type) {}
    virtual ~TKpBaseObject() = default;
    TKpBaseObject(const TKpBaseObject&) = delete;
    TKpBaseObject& operator=(const TKpBaseObject&) = delete;

    // The small fields last, packed after the numbers: every object is as small as it can be.
    int32_t X1 = 0;
    int32_t Y1 = 0;
    int32_t PageNum = 0;
    const TKpObjectType ObjectType;
    bool Printable = true;

private:
    uint8_t poolGranules_ = 0; // the size taken from a pool, in granules; 0 on the heap

public:
    // Made in a document's object pool (NewObject, CreateObjectOfType with a pool).
    bool MadeInPool() const { return poolGranules_ != 0; }

    virtual void SaveToStream(TKpExtStream& stream) const;
    virtual void LoadFromStream(TKpExtStream& stream, Extended fileVersion);
    virtual void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                      Extended scale) = 0;

    // Greys the target's brush, font and pen colours when the context prints in monochrome.
    static void ApplyGrey(TKpDeviceCanvas& target, const TKpDrawContext& context);
};

class PAGINOR_EXPORT TKpTextObject : public TKpBaseObject {
public:
    TKpTextObject() : TKpBaseObject(kpTextObject) {}
    TKpBrushData Brush;
    QString Text;
    TKpShared<TKpFontData> Font;

    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;

protected:
    explicit TKpTextObject(TKpObjectType type) : TKpBaseObject(type) {}
};

class PAGINOR_EXPORT TKpTextBoxObject : public TKpTextObject {
public:
    TKpTextBoxObject() : TKpTextObject(kpTextBoxObject) {}
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    int32_t X2 = 0;
    int32_t Y2 = 0;
    TKpShared<TKpPenData> Pen;

    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpLineObject : public TKpBaseObject {
public:
    TKpLineObject() : TKpBaseObject(kpLineObject) {}
    int32_t X2 = 0;
    int32_t Y2 = 0;
    int32_t Reserved = 0;
    TKpShared<TKpPenData> Pen; // last: the numbers fill the room the base leaves

    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

enum TKpImageKind : uint8_t { kpImageMetafile = 0, kpImageBitmap = 1 };

class PAGINOR_EXPORT TKpGraphicObject : public TKpBaseObject {
public:
    TKpGraphicObject();
    ~TKpGraphicObject() override;
    uint32_t CopyMode;
    bool MetafileAsBitmap = false;
    bool PrintMetafileAsBitmap = false;
    int32_t X2 = 0;
    int32_t Y2 = 0;
    // A bitmap in bitmap-file form (file header included); empty when there is none.
    QByteArray BitmapData;
    // Present only when the image is a picture.
    std::unique_ptr<TKpMetafile> Picture;
    TKpImageKind ImageKind = kpImageMetafile;

    // Stores a bitmap: BitmapData holds it in bitmap-file form, ImageKind becomes bitmap.
    void SetBitmap(const QImage& image);
    // The stored bitmap (a null image when BitmapData is empty).
    QImage Bitmap() const;
    void SetPicture(const TKpMetafile& picture);

    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

// Shapes: bounding box (X1, Y1)-(X2, Y2), brush and pen.
class PAGINOR_EXPORT TKpSimpleShape : public TKpBaseObject {
public:
    TKpBrushData Brush;
    TKpShared<TKpPenData> Pen;
    int32_t X2 = 0;
    int32_t Y2 = 0;

    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;

protected:
    explicit TKpSimpleShape(TKpObjectType type) : TKpBaseObject(type) {}
};

class PAGINOR_EXPORT TKpRectangleShape : public TKpSimpleShape {
public:
    TKpRectangleShape() : TKpSimpleShape(kpRectangleShape) {}
    bool FillOnly = false; // not stored
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpEllipseShape : public TKpSimpleShape {
public:
    TKpEllipseShape() : TKpSimpleShape(kpEllipseShape) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpRoundRectShape : public TKpSimpleShape {
public:
    TKpRoundRectShape() : TKpSimpleShape(kpRoundRectShape) {}
    int32_t X3 = 0; // corner ellipse width (a length)
    int32_t Y3 = 0; // corner ellipse height
    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

// Arc family: start point (X3, Y3) and end point (X4, Y4) on the rays of the arc.
class PAGINOR_EXPORT TKpComplexShape : public TKpSimpleShape {
public:
    int32_t X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;

protected:
    explicit TKpComplexShape(TKpObjectType type) : TKpSimpleShape(type) {}
};

class PAGINOR_EXPORT TKpArcShape : public TKpComplexShape {
public:
    TKpArcShape() : TKpComplexShape(kpArcShape) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpChordShape : public TKpComplexShape {
public:
    TKpChordShape() : TKpComplexShape(kpChordShape) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpPieShape : public TKpComplexShape {
public:
    TKpPieShape() : TKpComplexShape(kpPieShape) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

// Point lists (X1, Y1 kept but unused).
class PAGINOR_EXPORT TKpPolyBaseObject : public TKpBaseObject {
public:
    TKpBrushData Brush;
    TKpShared<TKpPenData> Pen;
    QVector<QPoint> Points; // KpUnits
    void SaveToStream(TKpExtStream& stream) const override;
    void LoadFromStream(TKpExtStream& stream, Extended fileVersion) override;

protected:
    explicit TKpPolyBaseObject(TKpObjectType type) : TKpBaseObject(type) {}
};

class PAGINOR_EXPORT TKpPolygonObject : public TKpPolyBaseObject {
public:
    TKpPolygonObject() : TKpPolyBaseObject(kpPolygonObject) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpPolyLineObject : public TKpPolyBaseObject {
public:
    TKpPolyLineObject() : TKpPolyBaseObject(kpPolyLineObject) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

class PAGINOR_EXPORT TKpPolyBezierObject : public TKpPolyBaseObject {
public:
    TKpPolyBezierObject() : TKpPolyBaseObject(kpPolyBezierObject) {}
    void Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
              Extended scale) override;
};

// A new object of type T, made in pool (on the heap when there is none or T does not fit).
template <class T> TKpObjectPtr<T> MakeObject(TKpObjectPool* pool) {
    static_assert(std::is_base_of_v<TKpBaseObject, T>);
    if constexpr (sizeof(T) <= TKpObjectPool::MaxObjectSize &&
                  alignof(T) <= TKpObjectPool::Granule) {
        if (pool) {
            void* place = pool->Allocate(sizeof(T));
            T* object = nullptr;
            try {
                object = ::new (place) T();
            } catch (...) {
                pool->Free(place, sizeof(T));
                throw;
            }
            object->poolGranules_ = static_cast<uint8_t>(TKpObjectPool::RoundedSize(sizeof(T)) /
                                                         TKpObjectPool::Granule);
            return TKpObjectPtr<T>(object, TKpObjectDeleter{pool});
        }
    }
    return TKpObjectPtr<T>(std::make_unique<T>().release(), TKpObjectDeleter{});
}

// A new object of the given type id, or null for an id outside 1..13.
PAGINOR_EXPORT std::unique_ptr<TKpBaseObject> CreateObjectOfType(int32_t type);
// The same, made in pool.
PAGINOR_EXPORT TKpObjectPtr<TKpBaseObject> CreateObjectOfType(int32_t type, TKpObjectPool* pool);

} // namespace kp
