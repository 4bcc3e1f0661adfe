// How a document stores its objects: shared pen and font blocks, the document's object pool,
// and texts shared when a document is read.
#include <gtest/gtest.h>

#include <stdexcept>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "stream_test_util.h"

using namespace kp;

namespace {

TKpTextObject* TextAt(TKpDocument& p, int page, int index) {
    return dynamic_cast<TKpTextObject*>(p.GetPage(page)->Objects(index));
}

TEST(ObjectStorage, ObjectsRecordedWithOneStyleShareItsBlockAndAnEditStaysTheObjectsOwn) {
    TKpDocument preview;
    TKpCanvas& c = preview.Canvas();
    c.Font().SetSize(9);
    for (int i = 0; i < 3; ++i)
        c.TextOut(10, 10 + i * 5, QStringLiteral("Row %1").arg(i), kpMillimeters);
    c.Font().SetSize(12);
    c.TextOut(10, 40, QStringLiteral("Total"), kpMillimeters);

    TKpTextObject* first = TextAt(preview, 1, 0);
    TKpTextObject* second = TextAt(preview, 1, 1);
    TKpTextObject* larger = TextAt(preview, 1, 3);
    EXPECT_TRUE(first->Font.SharesBlockWith(second->Font));
    EXPECT_TRUE(first->Font.SharesBlockWith(TextAt(preview, 1, 2)->Font));
    EXPECT_FALSE(first->Font.SharesBlockWith(larger->Font));
    EXPECT_EQ(larger->Font->Size, 12);

    // Changing one object's font leaves the objects it shared with as they were.
    first->Font.Edit().Size = 20;
    EXPECT_EQ(first->Font->Size, 20);
    EXPECT_EQ(second->Font->Size, 9);
    EXPECT_FALSE(first->Font.SharesBlockWith(second->Font));
    // Equal data compares equal whether shared or not.
    second->Font.Edit().Size = 20;
    EXPECT_TRUE(first->Font == second->Font);
}

TEST(ObjectStorage, ThePoolHoldsTheDocumentsObjectsAndGivesItsSlabsBackWhenCleared) {
    TKpDocument preview;
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) preview.NewPage();
        for (int i = 0; i < 40 * page; ++i)
            preview.Canvas().Line(0, i, 100, i, kpMillimeters);
    }
    TKpObjectPool& pool = *preview.ObjectPool();
    EXPECT_EQ(pool.LiveObjects(), 40 + 80 + 120);
    preview.Pages().DeletePage(2);
    EXPECT_EQ(pool.LiveObjects(), 40 + 120);
    // A freed place is taken again before the pool grows.
    const size_t slabs = pool.SlabBytes();
    preview.SetCurrentPage(1);
    for (int i = 0; i < 80; ++i)
        preview.Canvas().Line(0, i, 100, i, kpMillimeters);
    EXPECT_EQ(pool.SlabBytes(), slabs);
    preview.Clear();
    EXPECT_EQ(pool.LiveObjects(), 0);
    EXPECT_EQ(pool.SlabBytes(), 0u);
}

TEST(ObjectStorage, AnObjectMadeForAnotherDocumentIsRefused) {
    TKpDocument a, b;
    TKpObjectPtr<TKpBaseObject> line = a.GetPage(1)->NewObject<TKpLineObject>();
    EXPECT_THROW(b.GetPage(1)->AddObject(std::move(line)), std::invalid_argument);
    EXPECT_EQ(b.GetPage(1)->Count(), 0);
    ASSERT_TRUE(line); // still the caller's, freed into its own pool below
    EXPECT_EQ(a.ObjectPool()->LiveObjects(), 1);
    line.reset();
    EXPECT_EQ(a.ObjectPool()->LiveObjects(), 0);
    // Objects made on the heap go anywhere.
    EXPECT_EQ(b.GetPage(1)->AddObject(std::make_unique<TKpLineObject>()), 0);
    // A pooled object passed on as a heap object goes back to its own pool, and only there.
    b.GetPage(1)->AddObject(
        std::unique_ptr<TKpBaseObject>(b.GetPage(1)->NewObject<TKpLineObject>().release()));
    EXPECT_EQ(b.ObjectPool()->LiveObjects(), 1);
    EXPECT_THROW(b.GetPage(1)->AddObject(std::unique_ptr<TKpBaseObject>(
                     a.GetPage(1)->NewObject<TKpLineObject>().release())),
                 std::invalid_argument);
    EXPECT_EQ(b.GetPage(1)->Count(), 2);
    b.Clear();
    EXPECT_EQ(b.ObjectPool()->LiveObjects(), 0);
}

TEST(ObjectStorage, AReadDocumentHoldsEachRepeatedTextAndStyleOnce) {
    TKpDocument source;
    const QString note = QStringLiteral("Carried forward");
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) source.NewPage();
        // A new string each time, as a report makes them.
        source.Canvas().TextOut(10, 10, QString(note).append(QString()), kpMillimeters);
        source.Canvas().TextOut(10, 20, QStringLiteral("Page %1").arg(page), kpMillimeters);
    }
    TKpDocument loaded;
    streamtest::LoadBytes(loaded, streamtest::SaveBytes(source));
    ASSERT_EQ(loaded.NumPages(), 3);
    const TKpTextObject* firstNote = TextAt(loaded, 1, 0);
    for (int page = 2; page <= 3; ++page) {
        EXPECT_EQ(TextAt(loaded, page, 0)->Text.constData(), firstNote->Text.constData());
        EXPECT_TRUE(TextAt(loaded, page, 0)->Font.SharesBlockWith(firstNote->Font));
        EXPECT_EQ(TextAt(loaded, page, 1)->Text, QStringLiteral("Page %1").arg(page));
    }
}

} // namespace
