#pragma once
// The printer resolution override lives with the print state; tests include it from here too.
#include "platform/KpPrinterDpiOverride.h"
