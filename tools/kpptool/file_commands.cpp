// `dump` and `render`: read a document file of either format version.
#include <cstdio>
#include <stdexcept>

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QPainter>

#include "commands.h"
#include "document_json.h"
#include "drawing/KpDocument.h"
#include "drawing/KpMargins.h"
#include "drawing/KpStream.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPixelBudget.h"
#include "platform/KpScreen.h"

using namespace kp;

namespace {

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Extended FileVersion(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file %1").arg(fileName).toStdString());
    return Ext80ToExtended(ReadDocumentVersion(file));
}

int UsageError(const char* message) {
    std::fprintf(stderr, "kpptool: error: %s\n", message);
    return 2;
}

} // namespace

int RunDump(const QStringList& args) {
    if (args.size() != 1) return UsageError("dump takes exactly one FILE");
    const Extended version = FileVersion(args[0]);
    // Dumping reads the document only.
    TKpDocument document;
    document.LoadFromFile(args[0]);
    const QByteArray json =
        QJsonDocument(DocumentToJson(document, version)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
    return 0;
}

int RunRender(const QStringList& args) {
    QString file, out;
    int page = 0, zoom = 100;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* what) {
            if (i + 1 >= args.size()) throw EUsage(std::string(what) + " needs a value");
            return args[++i];
        };
        bool ok = true;
        if (a == QLatin1String("--page")) {
            page = value("--page").toInt(&ok);
        } else if (a == QLatin1String("--zoom")) {
            zoom = value("--zoom").toInt(&ok);
        } else if (a == QLatin1String("-o")) {
            out = value("-o");
        } else if (file.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            file = a;
        } else {
            return UsageError(qPrintable(QStringLiteral("unexpected argument '%1'").arg(a)));
        }
        if (!ok) return UsageError(qPrintable(QStringLiteral("'%1' needs a whole number").arg(a)));
    }
    if (file.isEmpty() || out.isEmpty() || page < 1)
        return UsageError("render needs FILE, --page N (from 1) and -o OUT.png");
    if (zoom < 1 || zoom > 1000) return UsageError("--zoom must be from 1 to 1000");

    TKpDocument document;
    document.LoadFromFile(file);
    if (page > document.NumPages())
        throw std::runtime_error(QStringLiteral("page %1 does not exist (the document has %2)")
                                     .arg(page)
                                     .arg(document.NumPages())
                                     .toStdString());
    document.SetCurrentPage(page);
    // The page picture at screen resolution, with header, footer and clip as the document says.
    document.RefreshPage();
    TKpMetafile& picture = document.GetPage(page)->Metafile();
    const Extended scale = static_cast<Extended>(zoom) / 100;
    const int w = kp::RoundInt(picture.Width() * scale), h = kp::RoundInt(picture.Height() * scale);
    if (w <= 0 || h <= 0) throw std::runtime_error("the page has no area");
    if (kp::PixelCount(w, h) > kp::MaxPageBitmapPixels)
        throw std::runtime_error(QStringLiteral("a %1 x %2 pixel image is too large to render "
                                                "(at most %3 pixels); use a smaller --zoom")
                                     .arg(w)
                                     .arg(h)
                                     .arg(kp::MaxPageBitmapPixels)
                                     .toStdString());
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const int ppi = ScreenPixelsPerInch();
        TKpDeviceCanvas canvas(&painter, ppi, ppi);
        canvas.PlayMetafile(picture, QRect(0, 0, w, h));
        TKpMargins& m = document.Margins();
        if (m.Visible()) {
            // The margin outline as the sheet shows it.
            auto px = [&](const TKpValue& v) { return kp::RoundInt(v.AsPixels(ppi) * scale); };
            QPen pen(ToQColor(m.Pen().Color()));
            pen.setStyle(m.Pen().Style() == psDot ? Qt::DotLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(QPoint(px(m.Left()), px(m.Top())),
                                   QPoint(w - px(m.Right()) - 1, h - px(m.Bottom()) - 1)));
        }
    }
    if (!image.save(out, "PNG"))
        throw std::runtime_error(QStringLiteral("cannot write %1").arg(out).toStdString());
    return 0;
}
