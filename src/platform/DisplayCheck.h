#pragma once
#include <QProcessEnvironment>
#include <QStringList>

// Qt ends a program that cannot reach its display with an English line and an abort. A
// program with windows asks first and, when there is none, says so in Korean and ends.
namespace DisplayCheck {

// Empty when Qt can be expected to find a display for arguments (its -platform option) and
// environment (QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY); otherwise why not, in Korean.
QString missing(const QStringList &arguments,
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// For main() before QApplication: false after printing the reason on stderr. When true, a
// display that is named but cannot be reached still ends the program in Korean, with
// kNoDisplayExit, where Qt would abort.
bool ready(int argc, char *argv[]);

// The exit code of a program that found no display.
constexpr int kNoDisplayExit = 1;

} // namespace DisplayCheck
