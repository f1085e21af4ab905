#pragma once
#include <QIcon>
#include <QString>
#include <QStringList>

// The network tree's image list, drawn here: one picture for each resource type name in
// lower case ("root", "network", "server", "share", "printer", ...).
namespace NetTreePictures {
QStringList names();
// A null icon for a name that has no picture.
QIcon picture(const QString &name);
} // namespace NetTreePictures
