#pragma once
#include <QString>
#include <functional>

class QWidget;

// Lets the main window open windows of subsystems it does not know: each subsystem registers
// an opener under its window name at start-up.
namespace WindowRegistry {
using Opener = std::function<QWidget *(QWidget *mainWindow)>;
void add(const QString &windowName, Opener opener);
// The opened (or already open) window, or nullptr when no subsystem registered the name.
QWidget *open(const QString &windowName, QWidget *mainWindow);
} // namespace WindowRegistry
