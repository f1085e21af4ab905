// A short notice that never takes the focus: argument " <message>/T<time>[/P<x>,<y>]"; the
// notice stays three times <time> milliseconds, centred on x,y (the window it is about) or
// else near the bottom right of the screen.
#include "AppIdentity.h"
#include "AppState.h"
#include "CommandHelp.h"
#include "DisplayCheck.h"
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <optional>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    const CommandHelp::Command command{
        QStringLiteral("FloatMsg"), QStringLiteral("\" <알림>/T<시간>[/P<x>,<y>]\""),
        QStringLiteral("초점을 빼앗지 않는 짧은 알림을 <시간>(밀리초)의 세 배 동안 보여 줍니다. x,y 를 주면 그 점을\n"
                       "가운데로, 아니면 화면 오른쪽 아래에 둡니다. 휴대폰관리가 저장한 뒤에 부릅니다.\n"),
        CommandHelp::versionLine(QStringLiteral("FloatMsg"), AppState::title())};
    if (CommandHelp::answerHelpOrVersion(arguments, {}, command, out) == 0)
        return 0;
    if (!DisplayCheck::ready(argc, argv))
        return DisplayCheck::kNoDisplayExit;
    QApplication app(argc, argv);
    InstallAppIdentity();
    QString tail = app.arguments().mid(1).join(QLatin1Char(' ')).trimmed();
    std::optional<QPoint> centre;
    static const QRegularExpression place(QStringLiteral("/P(-?\\d+),(-?\\d+)$"));
    if (const auto m = place.match(tail); m.hasMatch()) {
        centre = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
        tail.chop(m.capturedLength());
    }
    const qsizetype t = tail.lastIndexOf(QLatin1String("/T"));
    bool ok = false;
    int time = t >= 0 ? tail.mid(t + 2).toInt(&ok) : 0;
    if (!ok || time <= 0)
        time = 500;
    const QString message = t >= 0 ? tail.left(t) : tail;

    QLabel notice(message);
    notice.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus);
    notice.setAttribute(Qt::WA_ShowWithoutActivating);
    notice.setStyleSheet(QStringLiteral("QLabel { background: #FFFFE1; color: #202020; border: 1px solid #808080;"
                                        " padding: 12px 24px; font-size: 11pt; }"));
    notice.adjustSize();
    const QScreen *screen = centre ? QGuiApplication::screenAt(*centre) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        if (centre && area.contains(*centre)) {
            QRect r(QPoint(0, 0), notice.size());
            r.moveCenter(*centre);
            r.moveLeft(qBound(area.left(), r.left(), qMax(area.left(), area.right() - r.width())));
            r.moveTop(qBound(area.top(), r.top(), qMax(area.top(), area.bottom() - r.height())));
            notice.move(r.topLeft());
        } else {
            notice.move(area.right() - notice.width() - 24, area.bottom() - notice.height() - 24);
        }
    }
    notice.show();
    QTimer::singleShot(time * 3, &app, &QApplication::quit);
    return app.exec();
}
