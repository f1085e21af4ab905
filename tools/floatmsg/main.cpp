// A short notice near the bottom right of the screen that never takes the focus:
// argument " <message>/T<time>"; the notice stays three times <time> milliseconds.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString tail = app.arguments().mid(1).join(QLatin1Char(' ')).trimmed();
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
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        notice.move(area.right() - notice.width() - 24, area.bottom() - notice.height() - 24);
    }
    notice.show();
    QTimer::singleShot(time * 3, &app, &QApplication::quit);
    return app.exec();
}
