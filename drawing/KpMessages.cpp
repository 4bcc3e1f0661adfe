#include "drawing/KpMessages.h"

namespace kp {

QEvent::Type TKpMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace kp
