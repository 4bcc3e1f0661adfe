#pragma once
// A linked control that records the notification messages it receives, and an event log.
#include <QObject>
#include <string>
#include <vector>

#include "drawing/KpMessages.h"

using namespace kp;

class MessageLog : public QObject {
public:
    struct Entry {
        int msg;
        long long wparam;
    };
    std::vector<Entry> entries;
    std::vector<std::string>* shared = nullptr;

    bool event(QEvent* e) override {
        if (e->type() == TKpMessageEvent::EventType()) {
            const auto* m = static_cast<TKpMessageEvent*>(e);
            entries.push_back({m->Msg, m->WParam});
            if (shared)
                shared->push_back("msg " + std::to_string(m->Msg) + " " +
                                  std::to_string(m->WParam));
            return true;
        }
        return QObject::event(e);
    }
    std::vector<int> messages() const {
        std::vector<int> out;
        for (const auto& e : entries)
            out.push_back(e.msg);
        return out;
    }
    int count(int msg) const {
        int n = 0;
        for (const auto& e : entries)
            n += e.msg == msg;
        return n;
    }
};
