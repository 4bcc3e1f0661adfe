#pragma once
// The maker's addresses, shown in the window caption, the links and the footer.
#include <QString>

inline QString MakerWebAddress() {
    return QStringLiteral("https://paginor.example.org");
}
inline QString MakerEmailAddress() {
    return QStringLiteral("paginor@example.org"); // short enough for the About box
}
inline QString MakerAuthor() {
    return QStringLiteral("The Paginor developers");
}
