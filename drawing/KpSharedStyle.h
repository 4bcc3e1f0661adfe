#pragma once
// The pen or font data of a drawing object, held as one pointer to a shared, immutable block.
// A report page holds thousands of objects drawn with a handful of pens and fonts: identical
// blocks recorded one after another are shared, and an object that changes its own style gets
// a copy of its own first, so no other object sees the change.
#include <array>
#include <utility>

#include <QSharedData>

namespace kp {

template <class T> class TKpShared {
public:
    TKpShared() : d_(DefaultBlock()) {}
    // Implicit: an object's style is assigned from plain style data.
    TKpShared(const T& value) : d_(Intern(value)) {} // NOLINT(google-explicit-constructor)
    TKpShared& operator=(const T& value) {
        if (!(d_->value == value)) d_ = Intern(value);
        return *this;
    }

    const T& operator*() const { return d_->value; }
    const T* operator->() const { return &d_->value; }
    operator const T&() const { return d_->value; } // NOLINT(google-explicit-constructor)
    // The data to change in place; a shared block is copied first.
    T& Edit() {
        d_.detach();
        return d_->value;
    }
    // Whether two handles share one block (what the memory saving rests on).
    bool SharesBlockWith(const TKpShared& other) const { return d_ == other.d_; }

    friend bool operator==(const TKpShared& a, const TKpShared& b) {
        return a.d_ == b.d_ || a.d_->value == b.d_->value;
    }
    friend bool operator==(const TKpShared& a, const T& b) { return a.d_->value == b; }

private:
    struct Block : QSharedData {
        explicit Block(const T& v) : value(v) {}
        T value;
    };
    using Ptr = QExplicitlySharedDataPointer<Block>;

    static Ptr NewBlock(const T& value) { return Ptr(new Block(value)); } // owned by Ptr

    static const Ptr& DefaultBlock() {
        static const Ptr block = NewBlock(T{});
        return block;
    }

    // The blocks made last on this thread, most recent first: recording and loading meet the
    // same few styles over and over, so a short list finds nearly all of them.
    static Ptr Intern(const T& value) {
        thread_local std::array<Ptr, 8> recent;
        for (size_t i = 0; i < recent.size() && recent[i]; ++i) {
            if (recent[i]->value == value) {
                Ptr hit = recent[i];
                for (size_t j = i; j > 0; --j)
                    recent[j] = std::move(recent[j - 1]);
                recent[0] = hit;
                return hit;
            }
        }
        for (size_t j = recent.size() - 1; j > 0; --j)
            recent[j] = std::move(recent[j - 1]);
        recent[0] = NewBlock(value);
        return recent[0];
    }

    Ptr d_;
};

} // namespace kp
