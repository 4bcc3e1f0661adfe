#pragma once
// The published enumerations live below every layer that uses them.
#include "platform/KpPropertyEnums.h"
