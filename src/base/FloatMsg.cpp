#include "FloatMsg.h"
#include "Companions.h"
#include <QGuiApplication>
#include <QWindow>

namespace {
bool g_missing = false;
} // namespace

void ResetFloatMsg() { g_missing = false; }

void ShowFloatMsg(const QString &message, int time, const QRect &about) {
    // One box per run, not one for every record saved.
    if (g_missing)
        return;
    QString arguments = QLatin1Char(' ') + message + QStringLiteral("/T") + QString::number(time);
    // Over the window the notice is about, not in a corner of the screen.
    const QWindow *w = QGuiApplication::focusWindow();
    if (!about.isEmpty() || w) {
        const QPoint c = (about.isEmpty() ? w->frameGeometry() : about).center();
        arguments += QStringLiteral("/P%1,%2").arg(c.x()).arg(c.y());
    }
    if (Companions::start(Companions::kFloatMsg, arguments, QString(), Shell::Show::NoActivate, false) ==
        Shell::kNotStarted)
        g_missing = true;
}
