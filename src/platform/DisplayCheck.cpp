#include "DisplayCheck.h"
#include <QTextStream>
#include <cstdlib>

namespace {
QtMessageHandler g_previous = nullptr;

// Qt's last word when a display is named but no platform could start on it (no server there,
// no permission): in Korean, and an exit instead of an abort.
void onQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        QTextStream(stderr) << QStringLiteral("화면(디스플레이)에 연결할 수 없어 창을 열 수 없습니다. DISPLAY(")
                            << qEnvironmentVariable("DISPLAY") << QStringLiteral(")가 맞는지 확인하세요.") << Qt::endl;
        std::_Exit(DisplayCheck::kNoDisplayExit);
    }
    if (g_previous)
        g_previous(type, context, message);
}
} // namespace

namespace DisplayCheck {

QString missing(const QStringList &arguments, const QProcessEnvironment &environment) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    Q_UNUSED(arguments);
    Q_UNUSED(environment);
    return {};
#else
    QString platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments.at(i) == QLatin1String("-platform") || arguments.at(i) == QLatin1String("--platform"))
            platforms = arguments.at(i + 1);
    const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    // Qt tries the platforms in turn ("wayland;xcb"); one that can start is enough. Any other
    // than these two (offscreen, vnc, eglfs …) needs no display server.
    bool any = platforms.isEmpty() && (x11 || wayland);
    for (const QString &entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        any = any || (name == QLatin1String("xcb") ? x11 : name.startsWith(QLatin1String("wayland")) ? wayland : true);
    }
    if (any)
        return {};
    return QStringLiteral("화면(디스플레이)이 없어 창을 열 수 없습니다. 그래픽 화면(X11 또는 Wayland)에서 "
                          "실행하세요.\n(DISPLAY 와 WAYLAND_DISPLAY 가 비어 있습니다.)");
#endif
}

bool ready(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString why = missing(arguments);
    if (!why.isEmpty()) {
        QTextStream(stderr) << why << Qt::endl;
        return false;
    }
    g_previous = qInstallMessageHandler(onQtMessage);
    return true;
}

} // namespace DisplayCheck
