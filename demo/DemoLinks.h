#pragma once
// The maker's addresses, shown in the window caption, the links and the footer.
#include <QString>

inline QString MakerWebAddress() {
    return QStringLiteral("https://paginor.example.org");
}
inline QString MakerEmailAddress() {
    return QStringLiteral("support@paginor.example.org");
}
inline QString MakerAuthor() {
    return QStringLiteral("The Paginor developers");
}
