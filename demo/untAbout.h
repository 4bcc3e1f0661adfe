#pragma once
// The About box: version, artwork and links to the maker.
#include <functional>

#include <QDialog>

class TLinkLabel;

class TfrmAbout : public QDialog {
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    void Label2Click();
    void Label7Click();

    // Where the links are opened; tests put a recorder here.
    std::function<void(const QString& url)> OpenAddress;

    TLinkLabel* Label2; // web address
    TLinkLabel* Label7; // e-mail address

protected:
    void showEvent(QShowEvent* e) override;
};
