#include "platform/KpMetafilePlayer.h"

#include <QPainter>

#include "platform/KpMetafilePlayers.h"

namespace kp {

namespace {

TKpLeReader readerOf(const QByteArray& bytes) {
    return TKpLeReader(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
}

} // namespace

TKpMetafileKind KpMetafileKind(const QByteArray& bytes) {
    return KpMetafileFrame(bytes).Kind;
}

TKpMetafileFrame KpMetafileFrame(const QByteArray& bytes) {
    const TKpLeReader file = readerOf(bytes);
    const TKpMetafileFrame emf = KpEmfFrame(file);
    return emf.Kind == TKpMetafileKind::Emf ? emf : KpWmfFrame(file);
}

TKpMetafileResult KpPlayMetafile(const QByteArray& bytes, QPainter& painter, const QRectF& target) {
    const TKpLeReader file = readerOf(bytes);
    switch (KpMetafileKind(bytes)) {
    case TKpMetafileKind::Emf:
        return KpPlayEmf(file, painter, target);
    case TKpMetafileKind::Wmf:
        return KpPlayWmf(file, painter, target);
    default:
        break;
    }
    TKpMetafileResult result;
    result.Ok = false;
    result.Offset = 0;
    result.Error = QStringLiteral("the bytes are no metafile");
    return result;
}

} // namespace kp
