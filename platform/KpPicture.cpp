#include "platform/KpPicture.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include <QFile>
#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpMetafilePlayer.h"
#include "platform/KpScreen.h"

namespace kp {

struct TKpMetafile::TContent {
    std::optional<QPicture> recording;
    QByteArray bytes; // a platform metafile, played as it is
    TKpPictureForm form = TKpPictureForm::Recording;
};

TKpMetafile::TKpMetafile() = default;
TKpMetafile::~TKpMetafile() = default;
TKpMetafile::TKpMetafile(TKpMetafile&&) noexcept = default;
TKpMetafile& TKpMetafile::operator=(TKpMetafile&&) noexcept = default;

TKpMetafile::TKpMetafile(const TKpMetafile& other) {
    Assign(other);
}

TKpMetafile& TKpMetafile::operator=(const TKpMetafile& other) {
    if (this != &other) Assign(other);
    return *this;
}

bool TKpMetafile::Empty() const {
    if (source_) return false;
    if (!content_) return true;
    return content_->bytes.isEmpty() && (!content_->recording || content_->recording->isNull());
}

bool TKpMetafile::Recorded() const {
    return content_ && content_->recording;
}

TKpPictureForm TKpMetafile::Form() const {
    return content_ ? content_->form : TKpPictureForm::Recording;
}

const QByteArray& TKpMetafile::MetafileBytes() const {
    static const QByteArray none;
    return content_ ? content_->bytes : none;
}

void TKpMetafile::Clear() {
    content_.reset();
    source_ = nullptr;
}

const QPicture& TKpMetafile::Picture() const {
    if (!Recorded()) {
        if (source_ || !MetafileBytes().isEmpty()) {
            record();
        } else {
            if (!content_) content_ = std::make_unique<TContent>();
            content_->recording.emplace();
        }
    }
    return *content_->recording;
}

QPicture& TKpMetafile::Picture() {
    const QPicture& recording = static_cast<const TKpMetafile&>(*this).Picture();
    source_ = nullptr;
    content_->bytes.clear();
    content_->form = TKpPictureForm::Recording;
    return const_cast<QPicture&>(recording);
}

void TKpMetafile::Assign(const TKpMetafile& other) {
    std::unique_ptr<TContent> copy;
    if (other.Form() != TKpPictureForm::Recording) {
        // Metafile bytes are shared, not recorded: the copy plays and saves them as they are.
        copy = std::make_unique<TContent>();
        copy->bytes = other.MetafileBytes();
        copy->form = other.Form();
    } else if (!other.Empty()) {
        copy = std::make_unique<TContent>();
        copy->recording.emplace(other.Picture());
    }
    content_ = std::move(copy);
    source_ = nullptr;
    width_ = other.width_;
    height_ = other.height_;
}

void TKpMetafile::SetSource(const TKpPictureSource* source) {
    content_.reset();
    source_ = source;
}

bool TKpMetafile::LoadFromBytes(const QByteArray& bytes) {
    const TKpMetafileFrame frame = KpMetafileFrame(bytes);
    if (frame.Kind == TKpMetafileKind::None) return false;
    Clear();
    content_ = std::make_unique<TContent>();
    content_->bytes = bytes;
    content_->form = frame.Kind == TKpMetafileKind::Emf ? TKpPictureForm::Emf : TKpPictureForm::Wmf;
    // The frame is in hundredths of a millimetre; the natural size is at screen resolution.
    const double ppi = ScreenPixelsPerInch();
    width_ = static_cast<int>(std::lround(std::abs(frame.Frame.width()) * ppi / 2540.0));
    height_ = static_cast<int>(std::lround(std::abs(frame.Frame.height()) * ppi / 2540.0));
    return true;
}

void TKpMetafile::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file " + fileName.toStdString());
    if (!LoadFromBytes(file.readAll()))
        throw std::runtime_error(fileName.toStdString() + ": not an enhanced or 16-bit metafile");
}

void TKpMetafile::record() const {
    QPicture picture;
    {
        QPainter painter(&picture);
        if (source_) {
            const int ppi = ScreenPixelsPerInch();
            TKpDeviceCanvas canvas(&painter, ppi, ppi);
            source_->DrawPicture(canvas);
        } else {
            // A damaged metafile records what came before the damage.
            KpPlayMetafile(content_->bytes, painter, QRectF(0, 0, width_, height_));
        }
    }
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    picture.setBoundingRect(QRect(0, 0, width_, height_));
    if (!content_) content_ = std::make_unique<TContent>();
    content_->recording = std::move(picture);
}

TKpMetafileCanvas::TKpMetafileCanvas(TKpMetafile& metafile) : metafile_(metafile) {
    metafile_.Clear();
    painter_ = std::make_unique<QPainter>(&metafile_.Picture());
    const int ppi = ScreenPixelsPerInch();
    canvas_ = std::make_unique<TKpDeviceCanvas>(painter_.get(), ppi, ppi);
}

TKpMetafileCanvas::~TKpMetafileCanvas() {
    End();
}

void TKpMetafileCanvas::End() {
    if (!painter_) return;
    canvas_.reset();
    painter_->end();
    painter_.reset();
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    metafile_.Picture().setBoundingRect(QRect(0, 0, metafile_.Width(), metafile_.Height()));
}

} // namespace kp
