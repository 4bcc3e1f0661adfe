// The list of drawing object kinds (factory, visitor, own-kind check) and read errors that
// say what was wrong and at which byte.
#include <gtest/gtest.h>

#include <typeindex>

#include "drawing/KpDocument.h"
#include "drawing/KpObjectKinds.h"
#include "drawing/KpPage.h"
#include "drawing/KpStream.h"
#include "stream_test_util.h"

using namespace kp;

using streamtest::Bytes;

namespace {

// Written out here, not taken from the list: the list is what is checked.
const struct {
    int32_t type;
    std::type_index cls;
} kKinds[] = {{kpTextObject, typeid(TKpTextObject)},
              {kpLineObject, typeid(TKpLineObject)},
              {kpEllipseShape, typeid(TKpEllipseShape)},
              {kpRectangleShape, typeid(TKpRectangleShape)},
              {kpRoundRectShape, typeid(TKpRoundRectShape)},
              {kpTextBoxObject, typeid(TKpTextBoxObject)},
              {kpPolygonObject, typeid(TKpPolygonObject)},
              {kpPolyLineObject, typeid(TKpPolyLineObject)},
              {kpGraphicObject, typeid(TKpGraphicObject)},
              {kpArcShape, typeid(TKpArcShape)},
              {kpChordShape, typeid(TKpChordShape)},
              {kpPieShape, typeid(TKpPieShape)},
              {kpPolyBezierObject, typeid(TKpPolyBezierObject)}};

// The class a visitor was called with (its static type: the overload that was chosen).
struct TSeenClass {
    std::type_index& seen;
    template <class T> void operator()(T&) const { seen = typeid(T); }
};

TEST(ObjectKinds, EachTypeIdMakesAndVisitsItsOwnClass) {
    TKpObjectPool pool;
    for (const auto& k : kKinds) {
        SCOPED_TRACE(k.type);
        const std::unique_ptr<TKpBaseObject> heap = CreateObjectOfType(k.type);
        const TKpObjectPtr<TKpBaseObject> pooled = CreateObjectOfType(k.type, &pool);
        ASSERT_TRUE(heap && pooled);
        EXPECT_EQ(std::type_index(typeid(*heap)), k.cls);
        EXPECT_EQ(std::type_index(typeid(*pooled)), k.cls);
        EXPECT_EQ(heap->ObjectType, k.type);
        EXPECT_TRUE(pooled->MadeInPool());
        EXPECT_TRUE(IsListedObjectKind(*heap));

        std::type_index seen = typeid(void);
        EXPECT_TRUE(VisitObject(*heap, TSeenClass{seen}));
        EXPECT_EQ(seen, k.cls);
        const TKpBaseObject& constant = *pooled;
        EXPECT_TRUE(VisitObject(constant, TSeenClass{seen}));
        EXPECT_EQ(seen, k.cls);
    }
    for (int32_t type : {-1, 0, 14, 255, 256}) {
        EXPECT_FALSE(CreateObjectOfType(type)) << type;
        EXPECT_FALSE(WithObjectKind(type, [](auto) { ADD_FAILURE(); }));
    }
}

// A host's class derived from a kind is visited as that kind but is not one of the suite's
// own; one that only borrows an id is not visited at all.
class THostLine : public TKpLineObject {};
class THostBorrowed : public TKpTextObject {
public:
    THostBorrowed() : TKpTextObject(kpPieShape) {}
};

TEST(ObjectKinds, HostClassesAreNotTheSuitesOwnKinds) {
    std::type_index seen = typeid(void);
    THostLine line;
    EXPECT_FALSE(IsListedObjectKind(line));
    EXPECT_TRUE(VisitObject(line, TSeenClass{seen}));
    EXPECT_EQ(seen, std::type_index(typeid(TKpLineObject)));
    THostBorrowed borrowed;
    EXPECT_FALSE(IsListedObjectKind(borrowed));
    EXPECT_FALSE(VisitObject(borrowed, TSeenClass{seen}));
}

// A page holding one line object behind 6 bytes of something else, so that offsets count
// from the outermost stream: page chunk at 6 (orientation 10, count 14), type id 18, base
// chunk 22, line chunk 34 holding the pen chunk 38 (colour 42, style 46, width 50, mode 54).
QByteArray PageBytes() {
    const Bytes pen = Bytes().i32(0).i32(2).i32(1).i32(4);
    const Bytes line = Bytes().chunk(pen).i32(500).i32(600).i32(0);
    const Bytes object = Bytes().i32(kpLineObject).chunk(Bytes().i32(100).i32(200)).chunk(line);
    return Bytes().raw("prefix").chunk(Bytes().i32(kpPortrait).i32(1).raw(object));
}

TEST(ReadErrors, CarryTheirKindAndTheOffsetOfTheFaultyValue) {
    const struct {
        int at; // the value replaced, where the error is found
        int32_t value;
        TKpReadErrorKind kind;
        const char* message;
    } cases[] = {
        {46, 9, TKpReadErrorKind::OutOfRange,
         "Page 1, object 1 (type 2): pen style 9 is out of range"},
        {10, 2, TKpReadErrorKind::OutOfRange, "Page 1: orientation 2 is out of range"},
        // The line's chunk claims more than the page holds; the pen's a negative length.
        {34, 40, TKpReadErrorKind::Truncated, "Page 1, object 1 (type 2): Stream read error"},
        {38, -1, TKpReadErrorKind::BadCount, "Page 1, object 1 (type 2): Stream read error"},
        {18, 14, TKpReadErrorKind::UnknownType, "Page 1: unknown object type id 14"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        QByteArray bytes = PageBytes();
        bytes.replace(c.at, 4, Bytes().i32(c.value).data());
        TKpExtStream s{bytes};
        s.SetPosition(6);
        TKpPage page(nullptr);
        page.PageNum = 1;
        try {
            page.LoadFromStream(s, ExtendedFromDecimal("2.42"));
            ADD_FAILURE() << "no error";
        } catch (const EStreamReadError& e) {
            EXPECT_EQ(e.Kind, c.kind);
            EXPECT_EQ(e.Offset, c.at);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

// From a file, the offset is the byte's place in the file.
TEST(ReadErrors, OffsetsInADocumentCountFromTheStartOfTheFile) {
    TKpDocument preview;
    auto line = std::make_unique<TKpLineObject>();
    line->Pen.Edit().Style = psDot;
    preview.GetPage(1)->AddObject(std::move(line));
    QByteArray file;
    {
        QBuffer out(&file);
        out.open(QIODevice::WriteOnly);
        preview.SaveToStream(out);
    }
    const int at = file.lastIndexOf(Bytes().i32(16).i32(0).i32(psDot).i32(1).i32(pmCopy).data());
    ASSERT_GT(at, 0);
    file.replace(at + 8, 4, Bytes().i32(7).data());
    QBuffer in(&file);
    in.open(QIODevice::ReadOnly);
    try {
        preview.LoadFromStream(in);
        ADD_FAILURE() << "no error";
    } catch (const EStreamReadError& e) {
        EXPECT_EQ(e.Kind, TKpReadErrorKind::OutOfRange);
        EXPECT_EQ(e.Offset, at + 8);
        EXPECT_STREQ(e.what(), "Page 1, object 1 (type 2): pen style 7 is out of range");
    }
}

} // namespace
