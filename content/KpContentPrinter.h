#pragma once
// What every content printer shares: the link to the preview it lays its content out on,
// which empties when that preview goes; the About text; and the one event fired after the
// printer starts a new page. The run itself is a TKpPrintSession (content/KpPrintSession.h).
#include "paginor/KpExport.h"

#include <functional>

#include <QObject>
#include <QPointer>
#include <QString>

namespace kp {

class TKpPreview;
class TKpValue;

// Fired after a content printer has started a new page, with the printer as sender and its
// top and bottom margins, which the handler may change for the rows that follow.
using TKpContentNewPageEvent =
    std::function<void(void* sender, TKpValue& topMargin, TKpValue& bottomMargin)>;

class PAGINOR_EXPORT TKpContentPrinter : public QObject {
    Q_OBJECT
    // Published properties (property editors, form files).
    Q_PROPERTY(QString About READ About CONSTANT)
    Q_PROPERTY(TKpPreview* Preview READ Preview WRITE SetPreview)
    Q_MOC_INCLUDE("preview/KpPreview.h")
public:
    ~TKpContentPrinter() override;

    // The class name, " v" and the suite's version; writing it has no effect.
    QString About() const;
    void SetAbout(const QString&) {}

    // Not owned; empty once the preview is destroyed. Setting it only stores the reference
    // unless a printer says otherwise.
    TKpPreview* Preview() const;
    virtual void SetPreview(TKpPreview* preview);

Q_SIGNALS: // spelled out: hosts may build with QT_NO_KEYWORDS
    // Qt signals beside the events, each emitted right after its event (also when the event
    // is empty), for hosts that connect slots, Designer or QML.
    void newPage(int page); // the new-page event of each printer; the preview's page number
    void printed();         // a run (PrintGrid, PrintTree, ...) ended without raising

protected:
    // How About writes the version: always with a point, or with the locale's separator.
    enum class VersionText { Point, Locale };
    TKpContentPrinter(const char* className, QObject* parent,
                      VersionText version = VersionText::Point);

    // Hands a new page to the host's handler, if there is one.
    void FireNewPage(const TKpContentNewPageEvent& event, TKpValue& topMargin,
                     TKpValue& bottomMargin);

private:
    friend class TKpPrintSession;
    void emitPrinted() { Q_EMIT printed(); }

    // Given, not read from the meta-object, so that the text stays the same in any namespace.
    const char* className_;
    VersionText version_;
    QPointer<TKpPreview> preview_;
};

} // namespace kp
