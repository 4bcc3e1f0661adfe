#pragma once
// The print dialog: pick the printer and the pages-per-sheet layout with the suite's two
// selectors, and print all pages or the current page of the main window's preview.
#include <QDialog>
#include <QPointer>

class QRadioButton;
class QPushButton;
namespace kp {
class TKpMultipageImage;
} // namespace kp
namespace kp {
class TKpPreview;
} // namespace kp
namespace kp {
class TKpPrinterList;
} // namespace kp

using namespace kp;

class TfrmPrint : public QDialog {
public:
    explicit TfrmPrint(QWidget* parent = nullptr);

    // The preview to print; set by the main window before each showing (not owned).
    QPointer<TKpPreview> Preview;
    // Links the selectors to the main window's preview; done once, when the program's
    // windows are made.
    void LinkSelectors(TKpPreview* preview);

    void Button2Click();
    void Button1Click();

    QRadioButton* RadioButton1;     // "Current Page"
    QRadioButton* RadioButton2;     // "All Pages"
    QPushButton* Button1;           // "Close"
    QPushButton* Button2;           // "Print"
    TKpPrinterList* KpPrinterList1; // unlinked, under the top panel
    TKpPrinterList* KpPrinterList2; // the selected printer
    TKpMultipageImage* KpMultipageImage1;
};
