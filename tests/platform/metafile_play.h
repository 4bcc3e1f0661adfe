#pragma once
// What the enhanced-metafile tests share: stock objects, colours and playing onto a white
// 192 x 192 image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "image_helpers.h"
#include "platform/KpMetafilePlayer.h"
#include "platform/metafile_writer.h"

namespace mfw {

constexpr int kNullPen = int(0x80000008), kBlackPen = int(0x80000007);
constexpr int kBlackBrush = int(0x80000004), kNullBrush = int(0x80000005);
constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// Plays the whole metafile onto the target, expecting it to play without a fault.
inline QImage PlayEmf(Emf& emf, kp::TKpMetafileResult* out = nullptr) {
    QImage img = testimg::whiteImage(192, 192);
    QPainter p(&img);
    const kp::TKpMetafileResult r = kp::KpPlayMetafile(emf.done(), p, QRectF(0, 0, 192, 192));
    p.end();
    EXPECT_TRUE(r.Ok) << r.Error.toStdString() << " at " << r.Offset;
    if (out) *out = r;
    return img;
}

} // namespace mfw
