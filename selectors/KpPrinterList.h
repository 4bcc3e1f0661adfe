#pragma once
// A drop-down list of the system's printers, each drawn with a small printer glyph, that
// selects the printer of a linked preview. Linking fills the list from the preview printer's
// list and selects its current printer; picking an entry sets the preview printer's
// PrinterIndex. The preview is not owned: when it goes, the list forgets it.
#include "paginor/KpExport.h"

#include <QComboBox>
#include <QImage>
#include <QPointer>

#include "platform/KpGraphics.h"

namespace kp {

class TKpPreview;
Q_MOC_INCLUDE("preview/KpPreview.h")
class TPrinterDevice;

class PAGINOR_EXPORT TKpPrinterList : public QComboBox {
    Q_OBJECT
    // Published properties (form files, Qt Designer, property editors).
    Q_PROPERTY(QString About READ About CONSTANT)
    Q_PROPERTY(TKpPreview* Preview READ Preview WRITE SetPreview)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
public:
    explicit TKpPrinterList(QWidget* parent = nullptr);
    ~TKpPrinterList() override;

    // "TKpPrinterList v2.42"; writes are ignored.
    QString About() const;
    void SetAbout(const QString&) {}

    TKpPreview* Preview() const;
    void SetPreview(TKpPreview* v);

    // Height of every item, in pixels (16 unless set).
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);

    // The printer device behind item i while linked (owned by the preview's printer);
    // nullptr when unlinked or out of range.
    TPrinterDevice* Device(int i) const;
    // The printer glyph, its transparent colour cleared.
    const QImage& Bitmap() const { return bitmap_; }

    // Draws item index into rect: the rectangle filled with brush, the glyph at x = 3 and the
    // text at x = 22 (control coordinates), both (ItemHeight - 16) div 2 below the top.
    void DrawItem(QPainter& painter, int index, const QRect& rect, const QBrush& brush,
                  const QColor& textColor) const;

    // The user's selection change: while linked, the preview printer takes the selected
    // index; then OnChange.
    void Change();
    // After the host has set the list up: refills and selects the preview's printer.
    void Loaded();

    TNotifyEvent OnChange;

Q_SIGNALS: // spelled out: hosts may build with QT_NO_KEYWORDS
    // OnChange's signal, emitted right after it (also when it is empty): the item selected.
    void printerChanged(int index);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void fillItems();
    void selectPrinterIndex();
    void unlink();

    QImage bitmap_;
    QPointer<TKpPreview> preview_;
    QMetaObject::Connection previewConnection_;
    int itemHeight_ = 16;
};

} // namespace kp
