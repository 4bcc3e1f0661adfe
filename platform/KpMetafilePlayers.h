#pragma once
// The two players behind KpPlayMetafile, one per form, and what each reads of its header.
#include "platform/KpMetafilePlayer.h"
#include "platform/KpMetafileReader.h"

namespace kp {

TKpMetafileFrame KpEmfFrame(const TKpLeReader& file);
TKpMetafileResult KpPlayEmf(const TKpLeReader& file, QPainter& painter, const QRectF& target);

TKpMetafileFrame KpWmfFrame(const TKpLeReader& file);
TKpMetafileResult KpPlayWmf(const TKpLeReader& file, QPainter& painter, const QRectF& target);

} // namespace kp
