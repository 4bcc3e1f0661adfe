#include "KpDesignerPlugin.h"

#include "preview/KpPreview.h"
#include "selectors/KpMultipageImage.h"
#include "selectors/KpPrinterList.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

TKpDesignerWidget::TKpDesignerWidget(TKpDesignerComponent component, QObject* parent)
    : QObject(parent), component_(std::move(component)) {}

QString TKpDesignerWidget::domXml() const {
    // The object name is the class name without its T prefix, lower-cased ("kpPreview").
    QString objectName = component_.ClassName.mid(1);
    objectName[0] = objectName[0].toLower();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(component_.ClassName, objectName)
        .arg(component_.DefaultSize.width())
        .arg(component_.DefaultSize.height());
}

namespace {
template <typename Widget> QWidget* create(QWidget* parent) {
    return new Widget(parent);
}
} // namespace

TKpDesignerPlugin::TKpDesignerPlugin(QObject* parent) : QObject(parent) {
    const TKpDesignerComponent components[] = {
        {"kp::TKpPreview", "preview/KpPreview.h",
         "Print preview: the document's pages, zoomed and scrolled", QSize(220, 286),
         create<TKpPreview>, KpPreviewIcon()},
        {"kp::TKpThumbnails", "thumbnails/KpThumbnails.h",
         "Thumbnail strip that follows a linked preview", QSize(265, 120), create<TKpThumbnails>,
         KpThumbnailsIcon()},
        {"kp::TKpPrinterList", "selectors/KpPrinterList.h",
         "Drop-down list of printers that selects a linked preview's printer", QSize(145, 24),
         create<TKpPrinterList>, KpPrinterListIcon()},
        {"kp::TKpMultipageImage", "selectors/KpMultipageImage.h",
         "Pages-per-sheet selector with a picture of the sheet", QSize(105, 81),
         create<TKpMultipageImage>, KpMultipageImageIcon()},
    };
    for (const auto& component : components)
        widgets_.append(new TKpDesignerWidget(component, this));
}
