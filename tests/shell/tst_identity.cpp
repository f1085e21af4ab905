#include "AppIdentity.h"
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTest>

namespace {
const QString kPackaging = QStringLiteral(MOBILESHOP_SOURCE_DIR "/packaging/");

QImage rendered(const QIcon &icon) { return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32); }
} // namespace

class TestIdentity : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallAppIdentity(); }

    void desktopName_isThePackagedEntry() {
        const QString name = QGuiApplication::desktopFileName();
        QVERIFY(QFile::exists(kPackaging + name + ".desktop"));
        QFile metainfo(kPackaging + "com.example.mobileshop.metainfo.xml");
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        QVERIFY(metainfo.readAll().contains("<launchable type=\"desktop-id\">" + name.toUtf8() + ".desktop<"));
    }

    void icon_isThePackagedSvgOnTopLevelAndMdiWindows() {
        const QImage expected = rendered(QIcon(kPackaging + "mobileshop.svg"));
        QVERIFY2(!expected.isNull(), "the SVG does not render: libqt6svg6 missing?");
        QWidget top;
        QMdiArea area;
        QMdiSubWindow *child = area.addSubWindow(new QWidget);
        for (const QWidget *w : {static_cast<QWidget *>(&top), static_cast<QWidget *>(child)})
            QCOMPARE(rendered(w->windowIcon()), expected);
        // Not the style's stand-in, which is what a child showed before.
        QVERIFY(rendered(child->style()->standardIcon(QStyle::SP_TitleBarMenuButton)) != expected);
    }
};

QTEST_MAIN(TestIdentity)
#include "tst_identity.moc"
