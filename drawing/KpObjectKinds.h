#pragma once
// The one list of drawing object kinds: each stored type id with the class it names. The
// factory, the page reader and everything that handles objects kind by kind dispatch through
// it, so a type id added without its kind here, or a kind that one of them does not handle,
// does not compile.
#include <cstddef>
#include <type_traits>
#include <typeinfo>

#include "drawing/KpObjects.h"

namespace kp {

template <TKpObjectType Id, class T> struct TKpKind {
    static_assert(std::is_base_of_v<TKpBaseObject, T> && std::is_default_constructible_v<T>);
    static constexpr TKpObjectType Type = Id;
    using Class = T;
};

template <class... Kinds> struct TKpKindList {
    static constexpr std::size_t Count = sizeof...(Kinds);
};

// In type id order, from 1.
using TKpObjectKinds = TKpKindList<
    TKpKind<kpTextObject, TKpTextObject>, TKpKind<kpLineObject, TKpLineObject>,
    TKpKind<kpEllipseShape, TKpEllipseShape>, TKpKind<kpRectangleShape, TKpRectangleShape>,
    TKpKind<kpRoundRectShape, TKpRoundRectShape>, TKpKind<kpTextBoxObject, TKpTextBoxObject>,
    TKpKind<kpPolygonObject, TKpPolygonObject>, TKpKind<kpPolyLineObject, TKpPolyLineObject>,
    TKpKind<kpGraphicObject, TKpGraphicObject>, TKpKind<kpArcShape, TKpArcShape>,
    TKpKind<kpChordShape, TKpChordShape>, TKpKind<kpPieShape, TKpPieShape>,
    TKpKind<kpPolyBezierObject, TKpPolyBezierObject>>;

namespace KpObjectKinds {

#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
// The highest type id. The switch names every enumerator: one added to the type ids without
// its case here does not compile, and the count check below then asks for its kind.
constexpr int LastObjectType() {
    int last = 0;
    for (int id = 0; id <= 255; ++id) {
        switch (static_cast<TKpObjectType>(id)) {
        case kpTextObject:
        case kpLineObject:
        case kpEllipseShape:
        case kpRectangleShape:
        case kpRoundRectShape:
        case kpTextBoxObject:
        case kpPolygonObject:
        case kpPolyLineObject:
        case kpGraphicObject:
        case kpArcShape:
        case kpChordShape:
        case kpPieShape:
        case kpPolyBezierObject:
            last = id;
            break;
        }
    }
    return last;
}
#pragma GCC diagnostic pop

template <class... Kinds> constexpr bool InTypeIdOrder(TKpKindList<Kinds...>) {
    int expected = 1;
    return ((static_cast<int>(Kinds::Type) == expected++) && ...);
}

static_assert(InTypeIdOrder(TKpObjectKinds{}), "the kinds are listed by type id 1, 2, 3...");
static_assert(TKpObjectKinds::Count == LastObjectType(), "every object type id has its kind");

template <class T, class Fn> void CallWithClass(Fn& fn) {
    fn(std::type_identity<T>{});
}

template <class Fn, class... Kinds> bool WithKind(TKpKindList<Kinds...>, std::size_t type, Fn& fn) {
    using TStep = void (*)(Fn&);
    static constexpr TStep steps[] = {&CallWithClass<typename Kinds::Class, Fn>...};
    if (type < 1 || type > sizeof...(Kinds)) return false;
    steps[type - 1](fn);
    return true;
}

} // namespace KpObjectKinds

// Calls fn(std::type_identity<T>{}) with the class T that the type id names and returns true;
// false, without calling, for an id that names no kind.
template <class Fn> bool WithObjectKind(int32_t type, Fn&& fn) {
    if (type < 0) return false;
    return KpObjectKinds::WithKind(TKpObjectKinds{}, static_cast<std::size_t>(type), fn);
}

// Calls visitor with the object as the class its type id names, and returns true. False,
// without calling, when the object is not of that class (a host's class that only borrows
// the id). The visitor must take every listed class (an overload for it or for a base),
// which the compiler checks kind by kind.
template <class Object, class Visitor> bool VisitObject(Object& object, Visitor&& visitor) {
    static_assert(std::is_base_of_v<TKpBaseObject, std::remove_const_t<Object>>);
    bool visited = false;
    WithObjectKind(object.ObjectType, [&]<class T>(std::type_identity<T>) {
        using TTarget = std::conditional_t<std::is_const_v<Object>, const T, T>;
        static_assert(std::is_invocable_v<Visitor&, TTarget&>,
                      "the visitor has no overload for one of the object kinds");
        if (auto* exact = dynamic_cast<TTarget*>(&object)) {
            visitor(*exact);
            visited = true;
        }
    });
    return visited;
}

// Of exactly the class its type id names: one of the suite's own kinds (a host's class
// derived from one of them is the host's own kind).
inline bool IsListedObjectKind(const TKpBaseObject& object) {
    bool listed = false;
    WithObjectKind(object.ObjectType,
                   [&]<class T>(std::type_identity<T>) { listed = typeid(object) == typeid(T); });
    return listed;
}

} // namespace kp
