#include "drawing/KpDrawContext.h"

#include <algorithm>

#include <QLocale>

#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"

namespace kp {

TKpDrawContext TKpDrawContext::Current(bool printing) {
    TKpDrawContext context;
    context.Printing = printing;
    context.Monochrome = CurrentPrintColor() == kpMonochrome;
    context.PrinterDpi = kp::PrinterDpi();
    return context;
}

QString TKpDrawContext::Substitute(const QString& text, int pageNum) const {
    if (!Tokens || !text.contains(QLatin1Char('{'))) return text;
    QString s = text;
    auto replaceAll = [&s](const QString& token, const QString& value) {
        for (qsizetype at = s.indexOf(token); at >= 0; at = s.indexOf(token)) {
            s.remove(at, token.size());
            s.insert(at, value);
        }
    };
    // The clock is read only when a caption asks for it.
    const bool date = s.contains(QLatin1String("{DATE}"));
    const bool time = s.contains(QLatin1String("{TIME}"));
    if (date || time) {
        const QDateTime now = Now.isValid() ? Now : QDateTime::currentDateTime();
        if (date) {
            const QDate d = now.date();
            replaceAll(QStringLiteral("{DATE}"),
                       QStringLiteral("%1-%2-%3")
                           .arg(d.day(), 2, 10, QLatin1Char('0'))
                           .arg(QLocale().monthName(d.month(), QLocale::ShortFormat))
                           .arg(d.year(), 4, 10, QLatin1Char('0')));
        }
        if (time)
            replaceAll(QStringLiteral("{TIME}"), now.time().toString(QStringLiteral("HH:mm")));
    }
    replaceAll(QStringLiteral("{PAGE}"), QString::number(pageNum));
    replaceAll(QStringLiteral("{NUMPAGES}"), QString::number(PageCount));
    return s;
}

void DrawPage(TKpDeviceCanvas& target, const TKpPage& page, const TKpDrawContext& context,
              const TKpPageDrawing& how) {
    TKpDocument* document = page.Owner();
    TKpMargins* margins = document ? &document->Margins() : nullptr;
    const QRect& r = how.PageRect;
    const int p = target.DpiX();
    if (margins && how.ClipToMargins) {
        const QPoint topLeft(r.left() + margins->Left().AsPixels(p),
                             r.top() + margins->Top().AsPixels(p));
        const QPoint bottomRight(r.left() + r.width() - margins->Right().AsPixels(p),
                                 r.top() + r.height() - margins->Bottom().AsPixels(p));
        target.SetClipRect(QRect(topLeft, bottomRight - QPoint(1, 1)));
    } else if (how.ClipToPage || how.ClipToMargins) {
        target.SetClipRect(r);
    }
    auto bands = [&] {
        if (!document || !margins) return;
        if (how.Header)
            document->Header().Draw(target, *margins, r, page.PageNum, how.Scale, context);
        if (how.Footer)
            document->Footer().Draw(target, *margins, r, page.PageNum, how.Scale, context);
    };
    if (how.BandsFirst) bands();
    const int count = how.ObjectCount < 0 ? page.Count() : std::min(how.ObjectCount, page.Count());
    for (int i = 0; i < count; ++i) {
        TKpBaseObject& object = *page.Objects(i);
        if (how.PrintableOnly && !object.Printable) continue;
        object.PageNum = page.PageNum;
        object.Draw(target, context, how.ObjectOffset, how.Scale);
    }
    if (!how.BandsFirst) bands();
}

} // namespace kp
