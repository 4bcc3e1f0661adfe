// Whole documents: the file layout, every setting, events, notifications, bad input.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpStream.h"
#include "drawing/stream_test_util.h"
#include "legacy/KpLegacy.h"
#include "object_builders.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpWinFlags.h"
#include "preview/KpFieldAccess.h"
#include "preview/KpPreview.h"
#include "preview/KpTypes.h"

using namespace kp;

using kptest::AddObject;
using streamtest::Bytes;
using streamtest::Hex;
using streamtest::LoadBytes;
using streamtest::MessageRecorder;
using streamtest::SaveBytes;

namespace {

struct Doc {
    QWidget host;
    TKpPreview* preview = new TKpPreview(&host);
    MessageRecorder recorder;
    Doc() { preview->AddLinkedControl(&recorder); }
    TKpPreview& operator*() { return *preview; }
    TKpPreview* operator->() { return preview; }
};

// The document stream's chunks, in file order.
std::vector<QByteArray> Chunks(const QByteArray& file) {
    TKpExtStream s{file.mid(14)};
    std::vector<QByteArray> out;
    while (s.Remaining() > 0) {
        TKpExtStream c;
        c.LoadChunk(s);
        out.push_back(c.Bytes());
    }
    return out;
}

QByteArray WithVersion(QByteArray file, const char* hex) {
    file.replace(0, 10, Hex(hex));
    return file;
}

} // namespace

TEST(StreamDocument, EmptyDocumentLayout) {
    Doc d;
    const QByteArray file = SaveBytes(*d);
    EXPECT_EQ(file.left(10), Hex("48 E1 7A 14 AE 47 E1 9A 00 40"));
    TKpExtStream len{file.mid(10, 4)};
    EXPECT_EQ(len.ReadInteger(), file.size() - 14);
    const auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 6u); // info, settings, margins, header, footer, one page
    EXPECT_EQ(chunks[0].size(), 12);
    EXPECT_EQ(chunks[0].mid(8), Bytes().i32(1).data());
    EXPECT_EQ(chunks[1], Bytes()
                             .i32(21000)
                             .i32(29700)
                             .str("A4")
                             .i32(0)
                             .i32(static_cast<int32_t>(d->Shadow().Color()))
                             .i32(d->Shadow().Width())
                             .data());
    EXPECT_EQ(chunks[2], Bytes().i32(1500).i32(2000).i32(1500).i32(2500).u8(0).u8(0).u8(0).data());
    EXPECT_EQ(chunks[5], Bytes().i32(0).i32(0).data());
}

TEST(StreamDocument, A4LandscapeSavedAndLoaded) {
    Doc d;
    d->SetOrientation(kpLandscape);
    const auto chunks = Chunks(SaveBytes(*d));
    EXPECT_EQ(chunks[1].left(18), Bytes().i32(29700).i32(21000).str("A4").i32(1).data());
    Doc e;
    LoadBytes(*e, SaveBytes(*d));
    EXPECT_EQ(e->PaperSize(), A4);
    EXPECT_EQ(e->Orientation(), kpLandscape);
    EXPECT_EQ(e->PaperWidth().value, 29700);
    EXPECT_EQ(e->PaperHeight().value, 21000);
}

TEST(StreamDocument, LetterIsSavedAsCustom) {
    Doc d;
    d->SetPaperSize(Letter);
    const int w = d->PaperWidth().value, h = d->PaperHeight().value;
    const auto chunks = Chunks(SaveBytes(*d));
    EXPECT_EQ(chunks[1].left(18), Bytes().i32(w).i32(h).str("Custom").data());
    Doc e;
    LoadBytes(*e, SaveBytes(*d));
    EXPECT_EQ(e->PaperSize(), Custom);
    EXPECT_EQ(e->PaperWidth().value, w);
    EXPECT_EQ(e->PaperHeight().value, h);
}

TEST(StreamDocument, EverySettingRoundTrips) {
    Doc d;
    d->Shadow().SetColor(clRed);
    d->Shadow().SetWidth(7);
    TKpMargins& m = d->Margins();
    m.Left().value = 1111;
    m.Top().value = 2222;
    m.Right().value = 3333;
    m.Bottom().value = 4444;
    m.SetVisible(true);
    m.SetShowPrinterMargins(true);
    TKpFieldAccess::SetClipMargins(m, true);
    TKpHeader& h = d->Header();
    h.SetVisible(true);
    h.SetShowLine(false);
    h.SetCaptionLeft(QStringLiteral("Left {PAGE}"));
    h.SetCaptionCenter(QStringLiteral("Centre"));
    h.SetCaptionRight(QStringLiteral("Right"));
    h.CaptionCenterFont().SetSize(16);
    h.CaptionCenterFont().SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsItalic));
    h.CaptionRightFont().SetName(QStringLiteral("Times New Roman"));
    h.CaptionRightFont().SetColor(clGreen);
    h.Pen().SetColor(clBlue);
    h.Pen().SetWidth(3);
    d->Footer().SetCaptionRight(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    d->Footer().Pen().SetStyle(psDot);

    const QByteArray file = SaveBytes(*d);
    const auto chunks = Chunks(file);
    // Header: flags, three captions, pen; the centre caption's font has style "BI".
    TKpExtStream header{QByteArray(chunks[3])};
    EXPECT_EQ(header.ReadByte(), 0);
    EXPECT_EQ(header.ReadByte(), 1);
    TKpExtStream caption;
    caption.LoadChunk(header);
    caption.LoadChunk(header);
    const TKpFontData centreFont = caption.ReadFont();
    EXPECT_EQ(centreFont.Size, 16);
    EXPECT_EQ(caption.ReadString(), QStringLiteral("Centre"));
    EXPECT_TRUE(chunks[3].contains(Bytes().str("BI").data()));

    Doc e;
    LoadBytes(*e, file);
    EXPECT_EQ(e->Shadow().Color(), clRed);
    EXPECT_EQ(e->Shadow().Width(), 7);
    EXPECT_EQ(e->Margins().Left().value, 1111);
    EXPECT_EQ(e->Margins().Top().value, 2222);
    EXPECT_EQ(e->Margins().Right().value, 3333);
    EXPECT_EQ(e->Margins().Bottom().value, 4444);
    EXPECT_TRUE(e->Margins().Visible());
    EXPECT_TRUE(e->Margins().ShowPrinterMargins());
    EXPECT_TRUE(e->Margins().ClipMargins());
    EXPECT_TRUE(e->Header().Visible());
    EXPECT_FALSE(e->Header().ShowLine());
    EXPECT_EQ(e->Header().CaptionLeft(), QStringLiteral("Left {PAGE}"));
    EXPECT_EQ(e->Header().CaptionCenter(), QStringLiteral("Centre"));
    EXPECT_EQ(e->Header().CaptionRight(), QStringLiteral("Right"));
    EXPECT_EQ(e->Header().CaptionCenterFont().Size(), 16);
    EXPECT_EQ(e->Header().CaptionCenterFont().Style(),
              FontStyleBit(fsBold) | FontStyleBit(fsItalic));
    EXPECT_EQ(e->Header().CaptionRightFont().Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(e->Header().CaptionRightFont().Color(), clGreen);
    EXPECT_EQ(e->Header().Pen().Color(), clBlue);
    EXPECT_EQ(e->Header().Pen().Width(), 3);
    EXPECT_EQ(e->Footer().CaptionRight(), QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    EXPECT_EQ(e->Footer().Pen().Style(), psDot);
    EXPECT_FALSE(e->Footer().Visible());
    EXPECT_TRUE(e->Footer().ShowLine());
    // Saving the loaded document gives the same bytes but for the save time.
    const QByteArray again = SaveBytes(*e);
    EXPECT_EQ(again.size(), file.size());
    EXPECT_EQ(again.mid(14 + 4 + 12), file.mid(14 + 4 + 12));
}

TEST(StreamDocument, PagesAndObjectsRoundTrip) {
    Doc d;
    d->AutoRefresh = false;
    auto* text = AddObject<TKpTextObject>(d->GetPage(1));
    text->Text = QStringLiteral("Hello");
    text->X1 = 100;
    d->NewPage();
    TKpFieldAccess::SetOrientation(*d->GetPage(2), kpLandscape);
    for (int type = 1; type <= 13; ++type) {
        auto o = CreateObjectOfType(type);
        o->X1 = type;
        o->Y1 = -type;
        d->GetPage(2)->AddObject(std::move(o));
    }
    d->NewPage();
    auto* poly = AddObject<TKpPolyBezierObject>(d->GetPage(3));
    poly->Points = {QPoint(1, 1), QPoint(2, 2), QPoint(3, 3), QPoint(4, 4)};
    d->AutoRefresh = true;
    const QByteArray file = SaveBytes(*d);
    const auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 8u);
    EXPECT_EQ(chunks[0].mid(8), Bytes().i32(3).data());
    EXPECT_EQ(chunks[6].left(12), Bytes().i32(1).i32(13).i32(1).data());

    Doc e;
    LoadBytes(*e, file);
    ASSERT_EQ(e->NumPages(), 3);
    EXPECT_EQ(e->LoadedPageCount, 3);
    ASSERT_EQ(e->GetPage(1)->Count(), 1);
    EXPECT_EQ(static_cast<TKpTextObject*>(e->GetPage(1)->Objects(0))->Text,
              QStringLiteral("Hello"));
    EXPECT_EQ(e->GetPage(2)->Orientation(), kpLandscape);
    ASSERT_EQ(e->GetPage(2)->Count(), 13);
    for (int k = 0; k < 13; ++k) {
        EXPECT_EQ(e->GetPage(2)->Objects(k)->ObjectType, k + 1);
        EXPECT_EQ(e->GetPage(2)->Objects(k)->X1, k + 1);
        EXPECT_EQ(e->GetPage(2)->Objects(k)->Y1, -(k + 1));
    }
    EXPECT_EQ(static_cast<TKpPolyBezierObject*>(e->GetPage(3)->Objects(0))->Points, poly->Points);
    EXPECT_EQ(e->CurrentPage(), 3);
}

TEST(StreamDocument, ProgressEvents) {
    Doc d;
    d->NewPage();
    d->NewPage();
    std::vector<int> saved, loaded;
    d->OnSaveProgress = [&](void* sender, int p) {
        EXPECT_EQ(sender, d.preview);
        saved.push_back(p);
    };
    const QByteArray file = SaveBytes(*d);
    EXPECT_EQ(saved, (std::vector<int>{33, 67, 100}));
    Doc e;
    e->OnLoadProgess = [&](void*, int p) { loaded.push_back(p); };
    LoadBytes(*e, file);
    EXPECT_EQ(loaded, (std::vector<int>{33, 67, 100}));

    Doc empty;
    std::vector<int> once;
    Doc f;
    f->OnLoadProgess = [&](void*, int p) { once.push_back(p); };
    LoadBytes(*f, SaveBytes(*empty));
    EXPECT_EQ(once, (std::vector<int>{100}));
    EXPECT_EQ(f->NumPages(), 1);
}

TEST(StreamDocument, NotificationsInOrder) {
    Doc d;
    d->NewPage();
    const QByteArray file = SaveBytes(*d);
    Doc e;
    e->NewPage();
    e->NewPage();
    e.recorder.messages.clear();
    LoadBytes(*e, file);
    std::vector<std::pair<int, long long>> expected = {{KPM_LOADING, 0},
                                                       {KPM_PAGESCLEARED, 0},
                                                       {KPM_PAGECHANGED, 1},
                                                       {KPM_PAPERSIZECHANGED, 0},
                                                       {KPM_ORIENTATIONCHANGED, 0},
                                                       {KPM_PAGECHANGED, 2},
                                                       {KPM_LOADING, 1},
                                                       {KPM_REFRESH, 0}};
    std::vector<std::pair<int, long long>> got;
    for (const auto& m : e.recorder.messages)
        if (m.first != KPM_DISPLAYUPDATED && m.first != KPM_PAGEREBUILT) got.push_back(m);
    EXPECT_EQ(got, expected);
}

TEST(StreamDocument, BeforeLoadCancelStillClosesTheLoadingState) {
    Doc d;
    d->NewPage();
    const QByteArray file = SaveBytes(*d);
    Doc e;
    AddObject<TKpLineObject>(e->GetPage(1));
    Extended seenVersion = 0;
    e->BeforeLoad = [&](void*, Extended version, bool& load) {
        seenVersion = version;
        load = false;
    };
    e.recorder.messages.clear();
    LoadBytes(*e, file);
    EXPECT_EQ(seenVersion, ExtendedFromDecimal("2.42"));
    EXPECT_EQ(e->NumPages(), 1);
    EXPECT_EQ(e->GetPage(1)->Count(), 0); // cleared before the decision
    std::vector<int> loading;
    for (const auto& m : e.recorder.messages)
        if (m.first == KPM_LOADING || m.first == KPM_REFRESH)
            loading.push_back(m.first * 10 + int(m.second));
    EXPECT_EQ(loading,
              (std::vector<int>{KPM_LOADING * 10, KPM_LOADING * 10 + 1, KPM_REFRESH * 10}));
}

TEST(StreamDocument, StreamEventsSeeTheDocumentStream) {
    Doc d;
    QByteArray written;
    d->BeforeWriteStream = [&](void* sender, QIODevice* s) {
        EXPECT_EQ(sender, d.preview);
        s->seek(0);
        written = s->readAll();
    };
    const QByteArray file = SaveBytes(*d);
    EXPECT_EQ(written, file.mid(14));
    Doc e;
    qint64 sizeSeen = -1;
    e->BeforeReadStream = [&](void*, QIODevice* s) { sizeSeen = s->size(); };
    LoadBytes(*e, file);
    EXPECT_EQ(sizeSeen, 0);
}

TEST(StreamDocument, UnknownObjectTypeNamesPageAndId) {
    Doc d;
    d->NewPage();
    AddObject<TKpLineObject>(d->GetPage(2));
    QByteArray file = SaveBytes(*d);
    // The line's type id (2) sits right after page 2's orientation and count.
    const QByteArray page2 = Bytes().i32(0).i32(1).i32(2).data();
    const int at = file.lastIndexOf(page2);
    ASSERT_GT(at, 0);
    file.replace(at + 8, 4, Bytes().i32(14).data());
    Doc e;
    e->NewPage(); // a failed load leaves these two pages
    e.recorder.messages.clear();
    try {
        LoadBytes(*e, file);
        FAIL() << "no error";
    } catch (const EReadError& err) {
        const std::string what = err.what();
        EXPECT_NE(what.find("Page 2"), std::string::npos) << what;
        EXPECT_NE(what.find("14"), std::string::npos) << what;
    }
    EXPECT_EQ(e->NumPages(), 2);
    int closing = 0;
    for (const auto& m : e.recorder.messages)
        closing += m == std::make_pair(int(KPM_LOADING), 1LL) || m.first == KPM_REFRESH;
    EXPECT_EQ(closing, 2);
}

TEST(StreamDocument, ShortOrGarbageFilesAreRefused) {
    Doc e;
    AddObject<TKpLineObject>(e->GetPage(1));
    for (const QByteArray& bad :
         {QByteArray(), Hex("48 E1 7A 14 AE"), Hex("00 11 22 33 44 55 66 77 88 99 AA BB"),
          QByteArray("<html><body>not a document</body></html>")}) {
        try {
            LoadBytes(*e, bad);
            FAIL() << "accepted " << bad.toHex().constData();
        } catch (const EReadError& err) {
            EXPECT_NE(std::string(err.what()).find("Not a document file"), std::string::npos);
        }
        EXPECT_EQ(e->GetPage(1)->Count(), 1); // nothing was touched
    }
}

TEST(StreamDocument, TruncatedDocumentIsAReadError) {
    Doc d;
    d->NewPage();
    const QByteArray file = SaveBytes(*d);
    Doc e;
    EXPECT_THROW(LoadBytes(*e, file.left(file.size() - 3)), EReadError);
    // A page chunk claiming more than the document stream holds.
    QByteArray patched = file;
    const int lastPage = patched.size() - 12;
    patched.replace(lastPage, 4, Bytes().i32(0x7FFFFFFF).data());
    EXPECT_THROW(LoadBytes(*e, patched), EReadError);
}

TEST(StreamDocument, Version231FileReadsGraphicWithDefaults) {
    Doc d;
    auto* g = AddObject<TKpGraphicObject>(d->GetPage(1));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    g->SetBitmap(image);
    g->CopyMode = SRCINVERT;
    g->PrintMetafileAsBitmap = true;
    const QByteArray file = SaveBytes(*d);
    for (const char* v : {"2.31", "2.32", "2.41", "2.42"}) {
        QByteArray patched = file;
        const TKpExt80 version = Ext80FromDecimal(v);
        patched.replace(0, 10, QByteArray(reinterpret_cast<const char*>(version.Bytes.data()), 10));
        Doc e;
        LoadBytes(*e, patched);
        auto* back = static_cast<TKpGraphicObject*>(e->GetPage(1)->Objects(0));
        const bool copyMode = std::string(v) != "2.31";
        const bool flag = std::string(v) == "2.42";
        EXPECT_EQ(back->CopyMode, copyMode ? uint32_t(SRCINVERT) : uint32_t(SRCCOPY)) << v;
        EXPECT_EQ(back->PrintMetafileAsBitmap, flag) << v;
        EXPECT_EQ(back->Bitmap().pixel(0, 0), qRgb(0, 255, 0));
    }
}

TEST(StreamDocument, FilesAreSavedAtomically) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.kpp"));
    Doc d;
    AddObject<TKpLineObject>(d->GetPage(1));
    d->SaveToFile(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    EXPECT_EQ(before.left(10), Hex("48 E1 7A 14 AE 47 E1 9A 00 40"));

    // A save that fails half way leaves the previous file as it was.
    Doc big;
    big->NewPage();
    big->NewPage();
    big->OnSaveProgress = [](void*, int percent) {
        if (percent > 50) throw std::runtime_error("disk full");
    };
    EXPECT_THROW(big->SaveToFile(path), std::runtime_error);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("doc.kpp")});

    Doc e;
    e->LoadFromFile(path);
    EXPECT_EQ(e->GetPage(1)->Count(), 1);
    EXPECT_THROW(e->LoadFromFile(dir.filePath(QStringLiteral("missing.kpp"))), EFileError);
    EXPECT_THROW(e->SaveToFile(dir.filePath(QStringLiteral("no/such/dir/x.kpp"))), EFileError);
}

TEST(StreamDocument, OlderVersionsGoToTheKeyedLoader) {
    QTemporaryDir dir;
    // Version 2.2, then one keyed list: block kind 2 (paper) with width 12345.
    if (!streamtest::LongDoubleIsX87()) GTEST_SKIP();
    const QByteArray list = Bytes()
                                .i32(1001)
                                .x87(10.0L)
                                .i32(2)
                                .i32(1001)
                                .x87(2.01L)
                                .i32(12345)
                                .i32(1001)
                                .x87(2.02L)
                                .i32(23456)
                                .i32(1001)
                                .x87(2.03L)
                                .i32(Custom);
    const QByteArray file = Bytes().x87(2.2L).chunk(Bytes().raw(list));
    const QString path = dir.filePath(QStringLiteral("old.kpp"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(file);
    f.close();
    Doc e;
    e->LoadFromFile(path);
    EXPECT_EQ(e->PaperWidth().value, 12345);
    EXPECT_EQ(e->PaperHeight().value, 23456);

    // The same bytes with version 2.3 are read as a native document (and refused as one).
    QFile g(path);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(Bytes().x87(2.3L).chunk(Bytes().raw(list)));
    g.close();
    Doc n;
    bool nativeRead = false;
    n->BeforeLoad = [&](void*, Extended, bool&) { nativeRead = true; };
    try {
        n->LoadFromFile(path);
    } catch (const EReadError&) {
    }
    EXPECT_TRUE(nativeRead);
    EXPECT_NE(n->PaperWidth().value, 12345);
}

// A document whose header caption font has an extreme size still loads and draws.
TEST(StreamDocument, ExtremeCaptionFontLoadsAndDraws) {
    Doc d;
    d->Header().SetVisible(true);
    d->Header().SetCaptionLeft(QStringLiteral("x"));
    QByteArray file = SaveBytes(*d);
    // The left caption's font size (12) follows its face name "Arial" in the header chunk.
    const QByteArray size12 = Bytes().str("Arial").i32(12).data();
    const int at = file.indexOf(size12);
    ASSERT_GT(at, 0);
    file.replace(at + 9, 4, Bytes().i32(INT32_MIN).data());
    Doc e;
    LoadBytes(*e, file);
    EXPECT_EQ(e->Header().CaptionLeftFont().Size(), -MaxFontPoints);
}

// Inputs that once crashed the loaders under the fuzzer: they load or are refused with a
// read error, and the loaded page draws.
TEST(StreamDocument, FuzzerCrashersLoadOrAreRefused) {
    // draw-textbox-slow.kpp once took minutes to draw: a text box whose tabs and wrapping
    // were measured quadratically.
    // native-page-stretch-glyphs.kpp: a page 2766 m tall, once stretched to a thumbnail of
    // another shape, where the glyph rasteriser failed on the text of a visible header.
    for (const char* name :
         {"native-header-draw.kpp", "draw-textbox-slow.kpp", "native-page-stretch-glyphs.kpp"}) {
        SCOPED_TRACE(name);
        QFile f(QStringLiteral(PAGINOR_SOURCE_DIR "/fuzz/crashers/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        Doc e;
        try {
            LoadBytes(*e, f.readAll());
        } catch (const EReadError&) {
        }
        for (int n = 1; n <= e->NumPages(); ++n) {
            e->SetCurrentPage(n);
            e->RefreshPage();
        }
        EXPECT_GE(e->NumPages(), 1);
    }
}
