#pragma once
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// Runs act on the modal window the next exec() opens. Whatever act leaves open is closed
// afterwards: a failed check inside act returns from act, and without this the exec() would
// wait for a click until the test's time-out.
inline void onNextModal(QObject *context, std::function<void(QWidget *)> act) {
    QTimer::singleShot(0, context, [act] {
        const QPointer<QWidget> top = QApplication::activeModalWidget();
        if (!top) {
            QTest::qFail("no modal window is open", __FILE__, __LINE__);
            return;
        }
        act(top);
        if (top && top->isVisible()) {
            if (auto *d = qobject_cast<QDialog *>(top.data()))
                d->reject();
            else
                top->close();
        }
    });
}

// The same for a modal window of one class; another one fails the test and is closed.
template <class T> void onNextModalOf(QObject *context, std::function<void(T *)> act) {
    onNextModal(context, [act](QWidget *w) {
        if (auto *t = qobject_cast<T *>(w))
            act(t);
        else
            QTest::qFail(qPrintable(QStringLiteral("unexpected modal window %1").arg(w->metaObject()->className())),
                         __FILE__, __LINE__);
    });
}
