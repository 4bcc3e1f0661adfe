#include "platform/KpColor.h"

#include <QGuiApplication>
#include <QPalette>

#include "platform/KpMath.h"

namespace kp {

namespace {
QColor systemColor(int index) {
    const QPalette pal = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                             ? QGuiApplication::palette()
                             : QPalette();
    switch (index) {
    case 5:
        return pal.color(QPalette::Base); // window background
    case 8:
        return pal.color(QPalette::Text); // window text
    case 13:
        return pal.color(QPalette::Highlight);
    case 14:
        return pal.color(QPalette::HighlightedText);
    case 15:
        return pal.color(QPalette::Button); // button face
    case 16:
        return pal.color(QPalette::Dark); // button shadow
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return pal.color(QPalette::ButtonText);
    case 20:
        return pal.color(QPalette::Light); // button highlight
    case 24:
        return pal.color(QPalette::ToolTipBase);
    case 23:
        return pal.color(QPalette::ToolTipText);
    case 1:
        return pal.color(QPalette::Window); // desktop
    default:
        return pal.color(QPalette::Window);
    }
}
} // namespace

TColor ColorToRGB(TColor color) {
    if (color & clSystemColor) return FromQColor(systemColor(static_cast<int>(color & 0xFF)));
    return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color) {
    return KpRGB(color.red(), color.green(), color.blue());
}

TColor ToGrey(TColor color) {
    const TColor rgb = ColorToRGB(color);
    const int g = static_cast<int>(
        kp::Round(0.3L * GetRValue(rgb) + 0.6L * GetGValue(rgb) + 0.1L * GetBValue(rgb)));
    return KpRGB(g, g, g);
}

} // namespace kp
