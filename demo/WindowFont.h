#pragma once
// The font of the demo's windows: "MS Sans Serif", 8 pt. Where that face is not installed,
// Liberation Sans stands in: its widths are close to it, so texts fit where the windows put
// them (the system's default sans face is much wider). Every window sets the font itself: a
// dialog does not take its parent's font.
#include <QFont>

inline QFont DemoWindowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    return font;
}
