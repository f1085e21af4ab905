#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QTextStream;

// The windows "--demo name [arguments]" opens on their own, each registered by the folder
// that owns it; the command line takes its names and help from here.
namespace DemoWindows {

// Opens the window as a caller would, prints what it handed back on out, returns the exit code.
using Run = std::function<int(const QStringList &arguments, QTextStream &out)>;

void add(const QString &name, const QString &description, Run run);
// Name and Korean description of each, in the order they were added.
QList<std::pair<QString, QString>> list();
// 2 with a message on stderr for a name nobody added.
int run(const QString &name, const QStringList &arguments, QTextStream &out);

} // namespace DemoWindows
