// The meta-object of KpEnums is compiled here, where every named enumeration is complete.
#include "platform/KpPropertyEnums.h"

#include "moc_KpPropertyEnums.cpp"
