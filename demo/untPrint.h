#pragma once
// The print dialog: print all pages or the current page of the main window's preview.
// (The printer and pages-per-sheet selectors join it with the printing work.)
#include <QDialog>

class QRadioButton;
class QPushButton;
class TKpPreview;

class TfrmPrint : public QDialog {
public:
    explicit TfrmPrint(QWidget* parent = nullptr);

    // The preview to print; set by the main window before each showing (not owned).
    TKpPreview* Preview = nullptr;

    void Button2Click();
    void Button1Click();

    QRadioButton* RadioButton1; // "Current Page"
    QRadioButton* RadioButton2; // "All Pages"
    QPushButton* Button1;       // "Close"
    QPushButton* Button2;       // "Print"
};
