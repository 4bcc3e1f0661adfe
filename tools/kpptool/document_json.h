#pragma once
// The JSON view of a loaded document that `kpptool dump` prints.
#include <QJsonObject>

#include "drawing/KpExtended.h"

namespace kp {
class TKpDocument;
}
namespace kp {
class TKpBaseObject;
}

using namespace kp;

QJsonObject DocumentToJson(TKpDocument& document, Extended fileVersion);
QJsonObject ObjectToJson(const TKpBaseObject& object);
