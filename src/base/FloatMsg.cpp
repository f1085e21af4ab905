#include "FloatMsg.h"
#include "Companions.h"
#include <QGuiApplication>
#include <QWindow>

namespace {
bool g_missing = false;
} // namespace

void ResetFloatMsg() { g_missing = false; }

void ShowFloatMsg(const QString &message, int time) {
    // One box per run, not one for every record saved.
    if (g_missing)
        return;
    QString arguments = QLatin1Char(' ') + message + QStringLiteral("/T") + QString::number(time);
    // Over the window the notice is about, not in a corner of the screen.
    if (const QWindow *w = QGuiApplication::focusWindow()) {
        const QPoint c = w->frameGeometry().center();
        arguments += QStringLiteral("/P%1,%2").arg(c.x()).arg(c.y());
    }
    if (Companions::start(Companions::kFloatMsg, arguments, QString(), Shell::Show::NoActivate, false) ==
        Shell::kNotStarted)
        g_missing = true;
}
