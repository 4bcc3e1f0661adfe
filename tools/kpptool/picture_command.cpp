// `picture`: renders an enhanced or 16-bit metafile at its frame size into a PNG.
#include <cmath>
#include <cstdio>

#include <QImage>
#include <QPainter>

#include "commands.h"
#include "content_common.h"
#include "platform/KpMetafilePlayer.h"

using namespace kp;
using namespace kpptool;

namespace {

constexpr const char* kUsage = "kpptool picture IN.emf|IN.wmf -o OUT.png [--dpi N]";
// Larger pictures are refused rather than allocated: 10,000 x 10,000 pixels.
constexpr double kMaxPixels = 100e6;

} // namespace

int RunPicture(const QStringList& args) {
    return RunGuarded(kUsage, [&] {
        QString in, out;
        double dpi = 96;
        for (int i = 0; i < args.size(); ++i) {
            const QString& a = args[i];
            if (a == QLatin1String("-o"))
                out = OptionValue(args, i);
            else if (a == QLatin1String("--dpi"))
                dpi = NumberArg(OptionValue(args, i), "--dpi", 1, 2400);
            else if (in.isEmpty() && !a.startsWith(QLatin1Char('-')))
                in = a;
            else
                throw EUsage(QStringLiteral("unexpected argument '%1'").arg(a).toStdString());
        }
        if (in.isEmpty() || out.isEmpty()) throw EUsage("picture needs IN and -o OUT.png");
        const QByteArray bytes = ReadInput(in);
        const TKpMetafileFrame frame = KpMetafileFrame(bytes);
        if (frame.Kind == TKpMetafileKind::None)
            throw EInput(in.toStdString() + ": not an enhanced or 16-bit metafile");
        // The frame is in hundredths of a millimetre.
        const double w = std::ceil(std::abs(frame.Frame.width()) / 2540.0 * dpi);
        const double h = std::ceil(std::abs(frame.Frame.height()) / 2540.0 * dpi);
        if (w < 1 || h < 1) throw EInput(in.toStdString() + ": the picture has no area");
        if (w * h > kMaxPixels)
            throw EInput(QStringLiteral("%1: %2 x %3 pixels is too large to render")
                             .arg(in)
                             .arg(w)
                             .arg(h)
                             .toStdString());
        QImage image(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
        image.fill(Qt::white);
        TKpMetafileResult result;
        {
            QPainter painter(&image);
            result = KpPlayMetafile(bytes, painter, QRectF(0, 0, w, h));
        }
        if (!image.save(out, "PNG")) throw EInput(out.toStdString() + ": cannot write the image");
        // A damaged picture is drawn up to the damage; the rest is reported.
        if (!result.Ok)
            std::fprintf(stderr, "kpptool: warning: %s (record at byte %lld)\n",
                         qPrintable(result.Error), static_cast<long long>(result.Offset));
        return 0;
    });
}
