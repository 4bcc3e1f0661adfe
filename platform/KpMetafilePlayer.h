#pragma once
// Playing the desktop platform's metafiles, enhanced (EMF, including the dual form whose
// extra records ride in comments) and the older 16-bit form (WMF, with or without the
// placeable header), onto a QPainter into a target rectangle.
#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include "paginor/KpExport.h"

class QPainter;

namespace kp {

enum class TKpMetafileKind { None, Emf, Wmf };

// What a play did. A damaged file draws what came before the damage: Ok is then false,
// Error says what is wrong and Offset is the byte where the faulty record starts.
struct TKpMetafileResult {
    bool Ok = true;
    QString Error;
    qint64 Offset = -1;
    int Records = 0; // records read, the header and the end record included
    int Skipped = 0; // records of a type the player does not draw
};

// The picture's frame in 0.01 mm (its place on the page as the file gives it) and its natural
// size in pixels of the device it was made for. Kind is None for bytes that are no metafile.
struct TKpMetafileFrame {
    TKpMetafileKind Kind = TKpMetafileKind::None;
    QRect Frame;      // 0.01 mm
    QSize PixelSize;  // pixels of the reference device
    double DpiX = 96; // the reference device's resolution
    double DpiY = 96;
};

PAGINOR_INTERNAL_EXPORT TKpMetafileKind KpMetafileKind(const QByteArray& bytes);
PAGINOR_INTERNAL_EXPORT TKpMetafileFrame KpMetafileFrame(const QByteArray& bytes);

// Plays the metafile so that its frame fills target (in the painter's current coordinates).
// The painter's state is the same afterwards.
PAGINOR_INTERNAL_EXPORT TKpMetafileResult KpPlayMetafile(const QByteArray& bytes, QPainter& painter,
                                                         const QRectF& target);

} // namespace kp
