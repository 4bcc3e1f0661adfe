#pragma once
// The program's three windows, shown, with messages recorded instead of shown, and the
// errors the application object would report collected.
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QString>

#include "demo/DemoApplication.h"
#include "demo/InfoMemo.h"
#include "demo/untAbout.h"
#include "demo/untMain.h"
#include "demo/untPrint.h"
#include "printing/KpErrors.h"

using namespace kp;

namespace demotest {

struct DemoWindows {
    std::vector<QString> messages;
    std::vector<QString> errors; // ShowError reports and errors the application caught
    TKpErrorReporter oldReporter;
    TDemoErrorSink oldSink;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmAbout> about;
    std::unique_ptr<TfrmPrint> print;

    DemoWindows() {
        oldReporter = SetErrorReporter([this](const QString& t) { errors.push_back(t); });
        oldSink = SetDemoErrorSink([this](const QString& t) { errors.push_back(t); });
        main = std::make_unique<TfrmMain>();
        about = std::make_unique<TfrmAbout>(main.get());
        print = std::make_unique<TfrmPrint>(main.get());
        main->SetWindows(about.get(), print.get());
        main->ShowInformation = [this](const QString& t) { messages.push_back(t); };
        main->OpenAddress = [](const QString&) {};
        main->resize(1200, 850);
        main->show();
        QCoreApplication::processEvents();
    }
    ~DemoWindows() {
        print.reset();
        about.reset();
        main.reset();
        SetDemoErrorSink(oldSink);
        SetErrorReporter(oldReporter);
    }
    TKpPreview& preview() { return *main->KpPreview1; }
    QString counter() { return main->lblPageNum->text(); }
    // The numbers of the highlighted thumbnails.
    std::vector<int> highlighted() {
        std::vector<int> out;
        TKpThumbnailList& list = main->KpThumbnails1->Thumbnails();
        for (int i = 1; i <= list.Count(); ++i)
            if (list.Items(i)->PageImage()->Selected()) out.push_back(i);
        return out;
    }
};

// The explanatory memos inside a window (the memo class has no meta-object of its own, so
// findChildren cannot tell it from other widgets).
inline std::vector<TInfoMemo*> Memos(QWidget* in) {
    std::vector<TInfoMemo*> out;
    for (QWidget* w : in->findChildren<QWidget*>())
        if (auto* memo = dynamic_cast<TInfoMemo*>(w)) out.push_back(memo);
    return out;
}

} // namespace demotest
