#pragma once
#include <QString>

// Our web addresses, in one place.
namespace WebLinks {
inline QString site() { return QStringLiteral("https://mobileshop.example.com"); }
inline QString support() { return site() + QStringLiteral("/support"); }
inline QString purchase() { return site() + QStringLiteral("/purchase"); }
inline QString remote() { return site() + QStringLiteral("/remote"); }
} // namespace WebLinks
