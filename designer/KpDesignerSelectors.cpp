#include "KpDesignerPlugin.h"

#include "printing/KpMultipageImage.h"
#include "printing/KpPrinterList.h"

std::vector<TKpDesignerComponent> KpSelectorComponents() {
    return {
        {"TKpPrinterList", "printing/KpPrinterList.h",
         "Drop-down list of printers that selects a linked preview's printer", QSize(145, 24),
         [](QWidget* parent) -> QWidget* { return new TKpPrinterList(parent); },
         KpPrinterListIcon()},
        {"TKpMultipageImage", "printing/KpMultipageImage.h",
         "Pages-per-sheet selector with a picture of the sheet", QSize(105, 81),
         [](QWidget* parent) -> QWidget* { return new TKpMultipageImage(parent); },
         KpMultipageImageIcon()},
    };
}
