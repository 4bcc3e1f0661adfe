#include "content/KpContentPrinter.h"

#include <QLocale>

#include "preview/KpPreview.h"

namespace kp {

TKpContentPrinter::TKpContentPrinter(const char* className, QObject* parent, VersionText version)
    : QObject(parent), className_(className), version_(version) {}

TKpContentPrinter::~TKpContentPrinter() = default;

QString TKpContentPrinter::About() const {
    QString version = QString::number(static_cast<double>(KpVersion), 'f', 2);
    if (version_ == VersionText::Locale)
        version.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QLatin1String(className_) + QStringLiteral(" v") + version;
}

// Out of line: the guarded pointer needs the complete preview type.
TKpPreview* TKpContentPrinter::Preview() const {
    return preview_;
}

void TKpContentPrinter::SetPreview(TKpPreview* preview) {
    preview_ = preview;
}

void TKpContentPrinter::FireNewPage(const TKpContentNewPageEvent& event, TKpValue& topMargin,
                                    TKpValue& bottomMargin) {
    if (event) event(this, topMargin, bottomMargin);
    // A handler may have taken the preview away.
    if (TKpPreview* preview = Preview()) Q_EMIT newPage(preview->CurrentPage());
}

} // namespace kp
