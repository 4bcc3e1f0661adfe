#pragma once
// The document's numbered notification messages for its view (a preview) and the controls
// linked to it, delivered as one custom Qt event type.
#include "paginor/KpExport.h"

#include <QEvent>

namespace kp {

enum : int {
    KPM_PAGECHANGED = 7026,
    KPM_SETPAGECOUNT = 7027,
    KPM_PAGESPERSHEETCHANGED = 7028,
    KPM_ORIENTATIONCHANGED = 7029,
    KPM_PAGEREBUILT = 7030,
    KPM_PAGEORIENTATIONCHANGED = 7031,
    KPM_PAGESCLEARED = 7032,
    KPM_DISPLAYUPDATED = 7033,
    KPM_PRINTERCHANGED = 7034,
    KPM_PAPERSIZECHANGED = 7035,
    KPM_LOADING = 7036,
    KPM_SAVEPEN = 7037,
    KPM_RESTOREPEN = 7038,
    KPM_SAVEBRUSH = 7039,
    KPM_RESTOREBRUSH = 7040,
    KPM_REFRESH = 10000,
    KPM_MARGINSCHANGED = 10002
};

class PAGINOR_EXPORT TKpMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    TKpMessageEvent(int msg, long long wparam, long long lparam)
        : QEvent(EventType()), Msg(msg), WParam(wparam), LParam(lparam) {}
    int Msg;
    long long WParam;
    long long LParam;
};

} // namespace kp
