#pragma once
// A temporary change of one piece of state (a flag such as a preview's AutoRefresh, a
// canvas's pen, brush or origin), undone however the scope is left, an exception included.
#include <QObject>
#include <QPointer>

#include <utility>

namespace kp {

template <typename T> class TKpStateGuard {
public:
    // Remembers the slot's value; the caller changes it as it likes.
    explicit TKpStateGuard(T& slot, QObject* owner = nullptr)
        : slot_(&slot), owner_(owner), owned_(owner != nullptr) {
        copy(saved_, slot);
    }
    // Remembers the slot's value and sets the temporary one.
    TKpStateGuard(T& slot, const T& value, QObject* owner = nullptr) : TKpStateGuard(slot, owner) {
        copy(slot, value);
    }
    ~TKpStateGuard() { Restore(); }
    TKpStateGuard(const TKpStateGuard&) = delete;
    TKpStateGuard& operator=(const TKpStateGuard&) = delete;

    // Puts the remembered value back now; later calls and the destructor do nothing. When an
    // owner was given and is gone meanwhile, its state went with it and nothing is written.
    void Restore() {
        if (!slot_) return;
        T* slot = slot_;
        slot_ = nullptr;
        if (owned_ && owner_.isNull()) return;
        copy(*slot, saved_);
    }

private:
    static void copy(T& to, const T& from) {
        // A font's figure comes first, so that assigning keeps its height in pixels.
        if constexpr (requires { to.SetPixelsPerInch(from.PixelsPerInch()); })
            to.SetPixelsPerInch(from.PixelsPerInch());
        if constexpr (requires { to.Assign(from); })
            to.Assign(from);
        else
            to = from;
    }

    T* slot_;
    QPointer<QObject> owner_;
    bool owned_;
    T saved_{};
};

// A temporary change made through a setter (a painter's saved state, a document's undo
// switch): undo runs however the scope is left. It must not raise.
template <typename Undo> class TKpScopeExit {
public:
    explicit TKpScopeExit(Undo undo) : undo_(std::move(undo)) {}
    ~TKpScopeExit() { undo_(); }
    TKpScopeExit(const TKpScopeExit&) = delete;
    TKpScopeExit& operator=(const TKpScopeExit&) = delete;

private:
    Undo undo_;
};

} // namespace kp
