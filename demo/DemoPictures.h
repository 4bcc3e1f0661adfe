#pragma once
// The demo's own pictures: the images the demos draw on the pages, the button glyphs, the
// tree icons, the barcode and the About box artwork. They are drawn here once (the generator
// under tools/ writes them as PNG files that ship as Qt resources) and looked up by name.
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

// Every picture name, in a fixed order.
QStringList DemoPictureNames();

// Draws the named picture afresh; a null image for an unknown name.
QImage DrawDemoPicture(const QString& name);

// The named picture from the program's resources (":/demo/pictures/<name>.png"), drawn
// afresh when the resource is not linked in.
QImage DemoPicture(const QString& name);
QIcon DemoIcon(const QString& name);
