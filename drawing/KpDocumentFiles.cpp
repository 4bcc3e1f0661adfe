// Saving and loading whole documents: a 10-byte version number, then one chunk holding the
// file information, settings, margins, header, footer and every page with its objects.
#include <cerrno>
#include <cstring>
#include <string>

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>

#include "drawing/KpDocument.h"
#include "drawing/KpFieldAccess.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "drawing/KpStream.h"
#include "platform/KpRunThen.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"

namespace kp {

namespace {

// Files below this version are of the older keyed format.
const Extended kNativeFormatVersion = ExtendedFromDecimal("2.3");

// The longest paper side a document may have, in KpUnits: 10 m (a banner on a roll).
constexpr int32_t kMaxPaperSide = 1000000;

// A paper side read from a file, refused with EReadError ("<what> <value> is out of range")
// unless it is positive and at most kMaxPaperSide.
// Reads one side of the paper, refused with its byte offset when it is out of range.
int32_t CheckedPaperSide(TKpExtStream& stream, const char* what) {
    const int64_t at = stream.Offset();
    const int32_t value = stream.ReadInteger();
    if (value < 1 || value > kMaxPaperSide)
        throw EStreamReadError(TKpReadErrorKind::OutOfRange, at,
                               std::string(what) + " " + std::to_string(value) +
                                   " is out of range");
    return value;
}

// Days since 30 December 1899, the time of day as the fraction.
double DocumentTimeNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    return static_cast<double>(days) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

// Lets a host inspect or change a document stream through the platform's device type: the
// document's handler, then its view's.
template <typename Event, typename ViewEvent>
void FireStreamEvent(const Event& event, TKpDocument* sender, ViewEvent viewEvent, bool writing,
                     TKpExtStream& stream) {
    TKpDocumentView* view = sender->View();
    if (view && !view->ViewWantsStream(writing)) view = nullptr;
    if (!event && !view) return;
    QByteArray bytes = stream.Bytes();
    const QByteArray before = bytes;
    {
        QBuffer device(&bytes);
        device.open(QIODevice::ReadWrite);
        device.seek(device.size());
        if (event) event(sender, &device);
        if (view) (view->*viewEvent)(&device);
    }
    if (bytes != before) stream.SetBytes(bytes);
}

TKpDocument::TOlderFormatLoader& olderFormatLoader() {
    static TKpDocument::TOlderFormatLoader loader = nullptr;
    return loader;
}

void WriteCaption(TKpExtStream& s, TKpHeaderFooterCaption& caption) {
    const int64_t mark = s.BeginChunk();
    s.WriteFont(GetFontData(caption.Font()));
    s.WriteString(caption.Caption());
    s.EndChunk(mark);
}

void WriteBand(TKpExtStream& s, TKpHeaderFooter& band) {
    const int64_t mark = s.BeginChunk();
    s.WriteByte(band.ShowLine() ? 1 : 0);
    s.WriteByte(band.Visible() ? 1 : 0);
    WriteCaption(s, band.LeftCaption());
    WriteCaption(s, band.CenterCaption());
    WriteCaption(s, band.RightCaption());
    s.WritePen(GetPenData(band.Pen()));
    s.EndChunk(mark);
}

void ReadCaption(TKpExtStream& parent, TKpHeaderFooterCaption& caption) {
    TKpExtStream c;
    c.LoadChunk(parent);
    SetFontData(caption.Font(), c.ReadFont(), 1);
    caption.SetCaption(c.ReadString());
}

void ReadBand(TKpExtStream& parent, TKpHeaderFooter& band) {
    TKpExtStream c;
    c.LoadChunk(parent);
    // The band's own notifications would rebuild the current page for every field.
    const TKpStateGuard<int> quiet(TKpFieldAccess::Drawing(band), 1);
    const bool showLine = c.ReadByte() != 0;
    const bool visible = c.ReadByte() != 0;
    TKpFieldAccess::SetFlags(band, showLine, visible);
    ReadCaption(c, band.LeftCaption());
    ReadCaption(c, band.CenterCaption());
    ReadCaption(c, band.RightCaption());
    SetPenData(band.Pen(), c.ReadPen());
}

} // namespace

void TKpDocument::SaveToFile(const QString& fileName) {
    // Written beside the original, which is replaced only once the whole document is out.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file %1").arg(fileName).toStdString());
    // A write refused by a full device leaves the file without an error of its own; the
    // system's reason is taken then.
    auto reason = [&](int systemError) {
        if (file.error() != QFileDevice::NoError || systemError == 0) return file.errorString();
        return QString::fromLocal8Bit(std::strerror(systemError));
    };
    auto fail = [&](const QString& why) {
        file.cancelWriting();
        throw EWriteError(
            QStringLiteral("Cannot save file %1: %2").arg(fileName, why).toStdString());
    };
    try {
        SaveToStream(file);
    } catch (const EWriteError&) {
        fail(reason(errno));
    }
    // The last bytes may still sit in the file's buffer, and committing does not report a
    // failure to write them (a full disk): they are flushed and checked first.
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) fail(reason(errno));
    if (!file.commit()) fail(reason(errno));
}

void TKpDocument::SaveToStream(QIODevice& stream) {
    writeDocument(stream, true);
}

void TKpDocument::writeDocument(QIODevice& stream, bool hostEvents) {
    const TKpExt80 version = Ext80FromDecimal("2.42");
    if (stream.write(reinterpret_cast<const char*>(version.Bytes.data()), 10) != 10)
        throw EWriteError("Stream write error");

    TKpExtStream doc;
    kp::RunThen(
        [&] {
            const int n = NumPages();
            // Room for the whole document at once: growing a large buffer step by step costs
            // more than the records themselves.
            int64_t objects = 0;
            for (int i = 1; i <= n; ++i)
                objects += pages_->GetPage(i)->Count();
            doc.Reserve(4096 + static_cast<int64_t>(n) * 16 + objects * 96);

            int64_t mark = doc.BeginChunk();
            doc.WriteDouble(DocumentTimeNow());
            doc.WriteInteger(n);
            doc.EndChunk(mark);

            mark = doc.BeginChunk();
            doc.WriteInteger(paperWidth_->value);
            doc.WriteInteger(paperHeight_->value);
            doc.WriteString(PaperSizeName(paperSize_));
            doc.WriteInteger(orientation_);
            TColor shadowColor = clBlack;
            int shadowWidth = 0;
            Shadow(shadowColor, shadowWidth);
            doc.WriteInteger(static_cast<int32_t>(shadowColor));
            doc.WriteInteger(shadowWidth);
            doc.EndChunk(mark);

            mark = doc.BeginChunk();
            doc.WriteInteger(margins_->Left().value);
            doc.WriteInteger(margins_->Top().value);
            doc.WriteInteger(margins_->Right().value);
            doc.WriteInteger(margins_->Bottom().value);
            doc.WriteByte(margins_->Visible() ? 1 : 0);
            doc.WriteByte(margins_->ShowPrinterMargins() ? 1 : 0);
            doc.WriteByte(margins_->ClipMargins() ? 1 : 0);
            doc.EndChunk(mark);

            WriteBand(doc, *header_);
            WriteBand(doc, *footer_);

            for (int i = 1; i <= n; ++i) {
                pages_->GetPage(i)->SaveToStream(doc);
                if (!hostEvents) continue;
                const int percent = kp::RoundInt(static_cast<Extended>(i) * 100 / n);
                if (OnSaveProgress) OnSaveProgress(this, percent);
                if (view_) view_->ViewSaveProgress(percent);
            }
        },
        [&] {
            if (hostEvents)
                FireStreamEvent(BeforeWriteStream, this, &TKpDocumentView::ViewBeforeWriteStream,
                                true, doc);
            doc.SaveChunk(stream);
        });
}

void TKpDocument::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file %1").arg(fileName).toStdString());
    const Extended version = Ext80ToExtended(ReadDocumentVersion(file));
    if (version < kNativeFormatVersion) {
        const TKpDocument::TOlderFormatLoader loader = olderFormatLoader();
        if (!loader) throw EReadError("No reader for the older document format");
        // A damaged file leaves the document as it was; the loader has closed its loading
        // state already, so the restored document is announced the same way.
        const Backup before = backup();
        try {
            loader(*this, file);
        } catch (...) {
            restore(before);
            FinishLoading();
            throw;
        }
        return;
    }
    file.seek(0);
    LoadFromStream(file);
}

void TKpDocument::LoadFromStream(QIODevice& stream) {
    // A source that is not a document is refused before the current one is touched.
    const TKpExt80 versionBytes = ReadDocumentVersion(stream);
    const Extended version = Ext80ToExtended(versionBytes);
    // A source that turns out damaged further on leaves the document as it was.
    const Backup before = backup();
    bool failed = true;
    Notify(KPM_LOADING, 0);
    // Linked controls leave their loading state on every way out, a cancel included.
    kp::RunThen(
        [&] {
            readDocument(stream, version, true);
            failed = false;
        },
        [&] {
            if (failed) restore(before);
            FinishLoading();
        });
}

void TKpDocument::readDocument(QIODevice& stream, Extended version, bool hostEvents) {
    TKpExtStream doc;
    Clear();
    if (hostEvents)
        FireStreamEvent(BeforeReadStream, this, &TKpDocumentView::ViewBeforeReadStream, false, doc);
    doc.LoadChunk(stream);
    TKpStringPool texts; // a report repeats its texts: each is held once
    doc.SetStringPool(&texts);
    bool loadFile = true;
    if (hostEvents && BeforeLoad) BeforeLoad(this, version, loadFile);
    if (hostEvents && view_) view_->ViewBeforeLoad(version, loadFile);
    if (!loadFile) return;

    TKpExtStream c;
    c.LoadChunk(doc);
    c.ReadDouble(); // the save time
    const int32_t n = c.ReadInteger();
    LoadedPageCount = n;

    c.LoadChunk(doc);
    const int32_t paperWidth = CheckedPaperSide(c, "Settings: paper width");
    const int32_t paperHeight = CheckedPaperSide(c, "Settings: paper height");
    paperWidth_->value = paperWidth;
    paperHeight_->value = paperHeight;
    const QString name = c.ReadString();
    paperSize_ = PaperSizeFromName(name);
    orientation_ = static_cast<TKpOrientation>(
        CheckedEnum(c.ReadInteger(), kpLandscape, "Settings: orientation"));
    const auto shadowColor = static_cast<TColor>(c.ReadInteger());
    SetShadow(shadowColor, c.ReadInteger());
    Notify(KPM_PAPERSIZECHANGED);
    Notify(KPM_ORIENTATIONCHANGED);

    c.LoadChunk(doc);
    margins_->Left().value = c.ReadInteger();
    margins_->Top().value = c.ReadInteger();
    margins_->Right().value = c.ReadInteger();
    margins_->Bottom().value = c.ReadInteger();
    margins_->SetVisible(c.ReadByte() != 0);
    margins_->SetShowPrinterMargins(c.ReadByte() != 0);
    TKpFieldAccess::SetClipMargins(*margins_, c.ReadByte() != 0);

    ReadBand(doc, *header_);
    ReadBand(doc, *footer_);

    for (int32_t i = 1; i <= n; ++i) {
        TKpPage* page = i == 1 ? pages_->GetPage(1) : AppendLoadedPage();
        page->LoadFromStream(doc, version);
        if (!hostEvents) continue;
        const int percent = kp::RoundInt(static_cast<Extended>(i) * 100 / n);
        if (OnLoadProgess) OnLoadProgess(this, percent);
        if (view_) view_->ViewLoadProgress(percent);
    }
}

TKpDocument::Backup TKpDocument::backup() {
    Backup backup;
    backup.currentPage = currentPage_;
    backup.loadedPageCount = LoadedPageCount;
    backup.paperSize = paperSize_;
    // A document that cannot be written out (it should not happen) still loads; only its
    // way back is lost.
    try {
        QBuffer buffer(&backup.bytes);
        buffer.open(QIODevice::WriteOnly);
        writeDocument(buffer, false);
    } catch (...) {
        backup.bytes.clear();
    }
    return backup;
}

void TKpDocument::restore(const Backup& backup) {
    // Runs while a failed load unwinds: it must not raise. The document wrote the bytes
    // itself a moment ago, so they read back; should they not, the document stays as far as
    // it got.
    LoadedPageCount = backup.loadedPageCount;
    if (backup.bytes.isEmpty()) return;
    try {
        QBuffer buffer;
        buffer.setData(backup.bytes);
        buffer.open(QIODevice::ReadOnly);
        const Extended version = Ext80ToExtended(ReadDocumentVersion(buffer));
        readDocument(buffer, version, false);
        paperSize_ = backup.paperSize;
        const int n = backup.currentPage;
        if (n >= 1 && n <= NumPages() && n != currentPage_) {
            FirePageChanging(n);
            currentPage_ = n;
            bindCanvas(pages_->GetPage(n));
            FirePageChange(n);
            Notify(KPM_PAGECHANGED, n);
        }
    } catch (...) {
    }
}

void TKpDocument::SetOlderFormatLoader(TOlderFormatLoader loader) {
    olderFormatLoader() = loader;
}

} // namespace kp
