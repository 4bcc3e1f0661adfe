#pragma once
// The JSON view of a loaded document that `kpptool dump` prints.
#include <QJsonObject>

#include "drawing/KpExtended.h"

class TKpDocument;
class TKpBaseObject;

QJsonObject DocumentToJson(TKpDocument& document, Extended fileVersion);
QJsonObject ObjectToJson(const TKpBaseObject& object);
