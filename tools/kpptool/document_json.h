#pragma once
// The JSON view of a loaded document that `kpptool dump` prints.
#include <QJsonObject>

#include "drawing/KpExtended.h"

using namespace kp;

namespace kp {
class TKpPreview;
} // namespace kp
namespace kp {
class TKpBaseObject;
} // namespace kp

QJsonObject DocumentToJson(TKpPreview& preview, Extended fileVersion);
QJsonObject ObjectToJson(const TKpBaseObject& object);
