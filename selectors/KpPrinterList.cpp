#include "selectors/KpPrinterList.h"

#include <QAbstractItemView>
#include <QLocale>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"
#include "selectors/KpGlyphs.h"

namespace kp {

namespace {

// Paints the drop-down's items through the list's own drawing.
class TPrinterItemDelegate : public QStyledItemDelegate {
public:
    explicit TPrinterItemDelegate(TKpPrinterList* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        painter->save();
        list_->DrawItem(*painter, index.row(), option.rect,
                        pal.brush(selected ? QPalette::Highlight : QPalette::Base),
                        pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 22,
                     list_->ItemHeight());
    }

private:
    TKpPrinterList* list_;
};

} // namespace

TKpPrinterList::TKpPrinterList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(8); // DropDownCount
    setItemDelegate(new TPrinterItemDelegate(this));
    bitmap_ = KpLoadGlyph("PRINTER");
    connect(this, &QComboBox::activated, this, [this](int) { Change(); });
}

TKpPrinterList::~TKpPrinterList() {
    unlink();
}

QString TKpPrinterList::About() const {
    QString version = QString::number(static_cast<double>(KpVersion), 'f', 2);
    version.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QStringLiteral("TKpPrinterList v") + version;
}

void TKpPrinterList::unlink() {
    QObject::disconnect(previewConnection_);
    if (preview_) preview_->RemoveLinkedControl(this);
    preview_ = nullptr;
}

void TKpPrinterList::SetPreview(TKpPreview* v) {
    unlink();
    preview_ = v;
    if (!v) return;
    // The items stay when the preview goes; only the link is dropped.
    previewConnection_ = connect(v, &QObject::destroyed, this, [this] { preview_ = nullptr; });
    v->AddLinkedControl(this);
    fillItems();
    selectPrinterIndex();
}

void TKpPrinterList::SetItemHeight(int v) {
    if (v == itemHeight_ || v <= 0) return;
    itemHeight_ = v;
    // The view asks the delegate again for the item sizes.
    if (QAbstractItemView* list = view()) list->reset();
    update();
}

TPrinterDevice* TKpPrinterList::Device(int i) const {
    if (!preview_) return nullptr;
    TKpPrinterStrings& printers = preview_->KpPrinter().Printers();
    return i >= 0 && i < printers.Count() ? printers.Objects(i) : nullptr;
}

void TKpPrinterList::fillItems() {
    if (!preview_) return;
    TKpPrinterStrings& printers = preview_->KpPrinter().Printers();
    QSignalBlocker quiet(this);
    clear();
    for (int i = 0; i < printers.Count(); ++i)
        addItem(printers.Strings(i));
}

void TKpPrinterList::selectPrinterIndex() {
    if (!preview_) return;
    const int index = preview_->KpPrinter().PrinterIndex();
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TKpPrinterList::Loaded() {
    fillItems();
    selectPrinterIndex();
}

void TKpPrinterList::Change() {
    if (preview_) {
        TKpPrinter& printer = preview_->KpPrinter();
        const int i = currentIndex();
        // No selection, or an entry the printer does not know: nothing to select.
        if (i >= 0 && i < printer.Printers().Count()) printer.SetPrinterIndex(i);
    }
    QPointer<TKpPrinterList> self(this); // the event may free the list
    if (OnChange) OnChange(this);
    if (self) Q_EMIT printerChanged(currentIndex());
}

bool TKpPrinterList::event(QEvent* e) {
    if (e->type() == TKpMessageEvent::EventType()) {
        const auto& message = *static_cast<TKpMessageEvent*>(e);
        if (message.Msg == KPM_PRINTERCHANGED && preview_ &&
            currentIndex() != preview_->KpPrinter().PrinterIndex())
            selectPrinterIndex();
        return true;
    }
    return QComboBox::event(e);
}

void TKpPrinterList::DrawItem(QPainter& painter, int index, const QRect& rect, const QBrush& brush,
                              const QColor& textColor) const {
    const int offset = (itemHeight_ - 16) / 2;
    painter.fillRect(rect, brush);
    painter.drawImage(QPoint(3, rect.top() + offset), bitmap_);
    if (index < 0 || index >= count()) return;
    painter.setFont(font());
    painter.setPen(textColor);
    painter.drawText(QPoint(22, rect.top() + offset + painter.fontMetrics().ascent()),
                     itemText(index));
}

void TKpPrinterList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;
    // The selected item in the edit field, one item high and centred in it.
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QRect item(field.left(), field.top() + (field.height() - itemHeight_) / 2, field.width(),
                     itemHeight_);
    painter.setClipRect(field);
    const bool focused = hasFocus();
    DrawItem(painter, currentIndex(), item,
             palette().brush(focused ? QPalette::Highlight : QPalette::Base),
             palette().color(focused ? QPalette::HighlightedText : QPalette::Text));
}

// Out of line: the guarded pointer needs the complete preview type.
TKpPreview* TKpPrinterList::Preview() const {
    return preview_;
}

} // namespace kp
