#include "FloatMsg.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Prompter.h"
#include "Shell.h"
#include <QFileInfo>
#include <QGuiApplication>
#include <QWindow>

namespace {
enum { NotLookedFor = 0, Present = 1, Missing = 2 };
int g_state = NotLookedFor;
} // namespace

void ResetFloatMsg() { g_state = NotLookedFor; }

void ShowFloatMsg(const QString &message, int time) {
    const QString program = AppPaths::toolPath(QStringLiteral("FloatMsg"));
    if (g_state == Missing)
        return;
    if (g_state == NotLookedFor) {
        if (!QFileInfo(program).isFile()) {
            g_state = Missing;
            prompter().message(Prompter::Icon::None, AppState::title(),
                               QStringLiteral("플로팅 메시지박스 파일을 찾을 수 없습니다.\r\n") + program);
            return;
        }
        g_state = Present;
    }
    QString arguments = QLatin1Char(' ') + message + QStringLiteral("/T") + QString::number(time);
    // Over the window the notice is about, not in a corner of the screen.
    if (const QWindow *w = QGuiApplication::focusWindow()) {
        const QPoint c = w->frameGeometry().center();
        arguments += QStringLiteral("/P%1,%2").arg(c.x()).arg(c.y());
    }
    shell().start(program, arguments, QString(), Shell::Show::NoActivate, false);
}
