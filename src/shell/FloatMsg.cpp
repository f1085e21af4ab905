#include "FloatMsg.h"
#include "Companions.h"

namespace {
bool g_missing = false;
} // namespace

void ResetFloatMsg() { g_missing = false; }

void ShowFloatMsg(const QString &message, int time) {
    // One box per run, not one for every record saved.
    if (g_missing)
        return;
    if (Companions::start(QStringLiteral("FloatMsg"), QLatin1Char(' ') + message + QStringLiteral("/T") +
                                                          QString::number(time),
                          QString(), Shell::Show::NoActivate, false) == Shell::kNotStarted)
        g_missing = true;
}
