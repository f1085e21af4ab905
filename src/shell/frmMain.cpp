#include "frmMain.h"
#include "AppState.h"
#include "CaptionPanel.h"
#include "ChildWindowKeys.h"
#include "Clock.h"
#include "Messages.h"
#include "ProgramServices.h"
#include "Settings.h"
#include "Shell.h"
#include "VbUnits.h"
#include "WebLinks.h"
#include "WindowFit.h"
#include "WindowPlacement.h"
#include "WindowRegistry.h"
#include "modFrmCtrl.h"
#include "modMain.h"
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {
const QString kPlaceSection = QStringLiteral("MainWindow");
QAction *addItem(QMenu *menu, const char *name, const QString &caption, std::function<void()> fn = {}) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (fn)
        QObject::connect(a, &QAction::triggered, menu, std::move(fn));
    return a;
}

QAction *addSeparator(QMenu *menu, const char *name) {
    QAction *a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}
} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setMainWindow(this);
    m_mdi = new QMdiArea(this);
    m_childKeys = new ChildWindowKeys(m_mdi);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    m_mdi->viewport()->installEventFilter(this);

    const QString version =
        QApplication::applicationVersion().isEmpty() ? QStringLiteral("1.0.0") : QApplication::applicationVersion();
    setWindowTitle(QStringLiteral("Kolva소프트 ") + AppState::title() + QStringLiteral(" Ver.") + version +
                   QString(11, QLatin1Char(' ')) + QStringLiteral("홈페이지 - ") + WebLinks::site());
    buildMenu();
    buildToolbar();
    buildStatusBar();

    background.visible = [this] { return isVisible(); };
    background.redraw = [this] { ReDrawMainBG(); };
    background.load();
    placeOnScreen();
}

void frmMain::placeOnScreen() {
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens())
        screens << s->availableGeometry();
    const QRect primary = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                           : QRect(0, 0, 1100, 760);
    const QRect stored =
        WindowPlacement::parse(Settings::GetSetting(AppState::title(), kPlaceSection, QStringLiteral("Geometry")));
    const QSize designed(1100, 760);
    const QRect placed = WindowPlacement::place(stored, designed, screens, primary);
    if (stored.isValid() && placed.topLeft() == stored.topLeft()) {
        setGeometry(placed);
    } else {
        // First start: the frame fits the screen, or the window opens maximised.
        resize(designed);
        WindowFit::centre(this);
    }
    if (Settings::GetSetting(AppState::title(), kPlaceSection, QStringLiteral("Maximized")) == QLatin1String("1"))
        setWindowState(windowState() | Qt::WindowMaximized);
}

frmMain::~frmMain() {
    if (mainWindow() == this)
        setMainWindow(nullptr);
    modMain::DestroyApp();
}

void frmMain::buildMenu() {
    QMenu *base = menuBar()->addMenu(QStringLiteral("기초등록(&B)"));
    base->menuAction()->setObjectName(QStringLiteral("mnuBase"));
    addItem(base, "mnuBase_Mobil", QStringLiteral("핸드폰   관리     (&M)"), [this] { mnuBase_Mobil_Click(); });

    QMenu *etc = menuBar()->addMenu(QStringLiteral("보조관리(&S)"));
    etc->menuAction()->setObjectName(QStringLiteral("mnuETCRoot"));
    // Both product lines keep the network setup out of sight: it is reached with
    // "mobileshop --network-setup", the desktop's action and the start-up's server box.
    const bool networkSetup = false;
    addItem(etc, "mnuRegister_NetWorkOption", QStringLiteral("네트워크 설정    (&N)"), [this] {
        WindowRegistry::open(QStringLiteral("FrmTool_NTSetup"), this);
    })->setVisible(networkSetup);
    addSeparator(etc, "mnuETCRoot_Bar3")->setVisible(networkSetup);
    addItem(etc, "mnuETCRoot_Backup", QStringLiteral("데이터백업        (&B)"), [this] { mnuETCRoot_Backup_Click(); });
    addSeparator(etc, "mnuETCRoot_Bar5");
    addItem(etc, "mnuETCRoot_Calc", QStringLiteral("계산기              (&C)"), [this] { mnuETCRoot_Calc_Click(); });
    addSeparator(etc, "mnuETCRoot_Bar25");
    QMenu *bg = etc->addMenu(QStringLiteral("바탕화면 설정"));
    bg->menuAction()->setObjectName(QStringLiteral("mnuTool_bgsetup_root"));
    auto bgItem = [this, bg](const char *name, const QString &caption, int command) {
        addItem(bg, name, caption, [this, command] { background.command(command); });
    };
    bgItem("mnuTool_bgsetup1", QStringLiteral("Logo 타일형 배치"), 1);
    bgItem("mnuTool_bgsetup2", QStringLiteral("Logo 가운데 배치"), 2);
    addSeparator(bg, "mnuTool_bgsetup_bar10");
    bgItem("mnuTool_bgsetup3", QStringLiteral("Logo 이미지 변경"), 3);
    bgItem("mnuTool_bgsetup4", QStringLiteral("Logo 없애기"), 4);
    bgItem("mnuTool_bgsetup5", QStringLiteral("Logo 기본 이미지"), 5);
    addSeparator(bg, "mnuTool_bgsetup_bar20");
    bgItem("mnuTool_bgsetup6", QStringLiteral("배경색 변경"), 6);
    bgItem("mnuTool_bgsetup7", QStringLiteral("기본 배경색"), 7);

    QAction *support = menuBar()->addAction(QStringLiteral("원격지원(&E)"));
    support->setObjectName(QStringLiteral("mnuSupport"));
    connect(support, &QAction::triggered, this, [this] { mnuSupport_Click(); });
    QAction *home = menuBar()->addAction(QStringLiteral("홈페이지(&H)"));
    home->setObjectName(QStringLiteral("mnuHomePage"));
#ifdef PRODUCT_VARIANT_B
    home->setText(QStringLiteral(" 제품구매(&H) "));
#endif
    connect(home, &QAction::triggered, this, [this] { mnuHomePage_Click(); });

    m_windowMenu = menuBar()->addMenu(QStringLiteral("창(&W)"));
    m_windowMenu->menuAction()->setObjectName(QStringLiteral("mnuWindow"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, [this] { fillWindowList(); });
    fillWindowList();

    QMenu *help = menuBar()->addMenu(QStringLiteral("도움말(&H)"));
    help->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    addItem(help, "mnuHelp_UseHelp", QStringLiteral("사용설명서"))->setVisible(false);
    addItem(help, "mnuHelp_AS", QStringLiteral("A/S발생시      (&A)"), [this] { mnuHelp_AS_Click(); });

    QAction *exit = menuBar()->addAction(QStringLiteral("종료(&X)"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void frmMain::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QStyle *st = style();
    m_toolbar->addAction(st->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("핸드폰"), this,
                         [this] { mnuBase_Mobil_Click(); });
    m_toolbar->addSeparator();
    m_toolbar->addAction(st->standardIcon(QStyle::SP_ComputerIcon), QStringLiteral("계산기"), this,
                         [this] { mnuETCRoot_Calc_Click(); });
    m_toolbar->addAction(st->standardIcon(QStyle::SP_DriveHDIcon), QStringLiteral("백업"), this,
                         [this] { mnuETCRoot_Backup_Click(); });
    m_toolbar->addSeparator();
    m_toolbar->addAction(st->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("종료"), this, &QWidget::close);

    auto *spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    m_userName = new CaptionPanel(gUserName.isEmpty() ? gLoginID : gUserName + QStringLiteral(" 님"), m_toolbar);
    m_userName->setObjectName(QStringLiteral("pnlUserName"));
    m_userName->setBackColor(VbUnits::fromColor(QColor(234, 233, 233)));
    m_userName->setForeColor(VbUnits::fromColor(QColor(87, 159, 174)));
    QFont f = m_userName->font();
    f.setBold(true);
    f.setPointSize(16);
    m_userName->setFont(f);
    m_userName->setMinimumWidth(180);
    m_toolbar->addWidget(m_userName);
}

void frmMain::buildStatusBar() {
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    m_date = new QLabel(bar);
    m_weekday = new QLabel(QLocale().dayName(appClock().today().dayOfWeek(), QLocale::ShortFormat), bar);
    m_weekday->setObjectName(QStringLiteral("panelWeekday"));
    m_time = new QLabel(bar);
    m_dbPath = new QLabel(modMain::shownDbFile(), bar);
    m_dbPath->setObjectName(QStringLiteral("panelDatabase"));
    for (QLabel *l : {m_date, m_weekday, m_time})
        bar->addWidget(l);
    bar->addWidget(m_dbPath, 1);
    updateClock();
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &frmMain::updateClock);
    timer->start(1000);
}

void frmMain::updateClock() {
    const QDateTime now = appClock().now();
    m_date->setText(now.date().toString(QStringLiteral("yyyy-MM-dd")));
    m_time->setText(now.time().toString(QStringLiteral("HH:mm")));
}

QWidget *frmMain::addChild(QWidget *child) {
    // The child's designed size is its inner size; the frame adds its title bar and borders.
    const QSize designed = child->size();
    QMdiSubWindow *sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_childKeys->adopt(sub);
    // A window that closes itself (its own close button) takes its frame with it.
    child->setAttribute(Qt::WA_DeleteOnClose);
    // Queued: when the frame itself is being deleted the call is dropped with it.
    connect(child, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    // The child is shown once its frame is placed, so that the layout it restores when shown
    // has the last word.
    child->hide();
    sub->show();
    sub->resize(designed.grownBy(sub->contentsMargins()));
    sub->move(0, 0);
    child->show();
    return child;
}

void frmMain::mnuBase_Mobil_Click() {
    if (QWidget *w = WindowRegistry::open(QStringLiteral("fbMobil_Admin"), this))
        FormFocus(w);
}

QString frmMain::calculatorProgram() {
#ifdef Q_OS_WIN
    return QStringLiteral("calc.exe");
#else
    for (const char *name : {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "mate-calc", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
#endif
}

void frmMain::mnuETCRoot_Calc_Click() {
    const QString calc = calculatorProgram();
    if (calc.isEmpty() || shell().start(calc, QString(), QString(), Shell::Show::Normal, false) != 0)
        MsgWarn(QStringLiteral("계산기 파일을 찾을 수 없습니다."));
}

void frmMain::mnuETCRoot_Backup_Click() {
    if (m_services && m_services->backupNow())
        close();
}

void frmMain::mnuWindow_AllClose_Click() { CloseAllFormsExcept(objectName()); }

void frmMain::fillWindowList() {
    m_windowMenu->clear();
    addItem(m_windowMenu, "mnuWindow_AllClose", QStringLiteral("모든 창 닫기(&C)"),
            [this] { mnuWindow_AllClose_Click(); });
    const auto subs = m_mdi->subWindowList();
    if (!subs.isEmpty())
        m_windowMenu->addSeparator();
    int n = 1;
    for (QMdiSubWindow *sub : subs) {
        QAction *a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
    }
}

void frmMain::mnuHelp_AS_Click() {
    MsgInfo(QStringList{QStringLiteral("DB관련 문제발생시"), QString(), modMain::shownDbFile(), QString(),
                        QStringLiteral("파일을 당사 홈페이지의 좌측메뉴 [문의/AS요청]에 올려주시고,"), QString(),
                        QStringLiteral("문제 내용을 자세히 적어주시면 담당자가 확인후 답변드립니다."), QString(),
                        QStringLiteral("-----------------------------------------------------------"), QString(),
                        QStringLiteral("Kolva소프트 개발팀")}
                .join(QStringLiteral("\r\n")));
    // Reading every page takes a while on a large catalogue: only when asked for, never at start.
    if (!modMDB_Func::IsOpen() || modMDB_Func::IsServerDatabase() ||
        MsgAsk(QStringLiteral("지금 데이터베이스 파일을 점검하시겠습니까?\r\n(자료가 많으면 시간이 걸립니다.)"),
               QStringLiteral("DB 점검"), false) != vbYes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString why = modMain::CheckOpenDatabase();
    QApplication::restoreOverrideCursor();
    if (why.isEmpty())
        MsgInfo(QStringLiteral("데이터베이스 파일을 점검했습니다. 이상이 없습니다."));
    else
        MsgWarn(QStringLiteral("데이터베이스 파일 점검 결과 문제가 있습니다.\r\n") + why +
                QStringLiteral("\r\n\r\n백업에서 복원하거나 위 파일을 당사에 보내주세요."));
}

void frmMain::openWebLink(const QString &question, const QString &url) {
    if (MsgAsk(question, QString(), true) == vbYes && !shell().open(url))
        MsgWarn(
            QStringLiteral("웹 브라우저를 열 수 없습니다.\r\n이 PC에 웹 브라우저가 설치되어 있는지 확인하세요.\r\n\r\n"
                           "주소: ") +
            url);
}

void frmMain::mnuSupport_Click() {
    openWebLink(QStringLiteral("원격지원서비스를 실행하시겠습니까?"), WebLinks::remote());
}

void frmMain::mnuHomePage_Click() {
#ifdef PRODUCT_VARIANT_B
    openWebLink(QStringLiteral("제품구매 홈페이지로 이동하시겠습니까?"), WebLinks::purchase());
#else
    openWebLink(QStringLiteral("고객지원센터 홈페이지로 이동하시겠습니까?"), WebLinks::support());
#endif
}

void frmMain::ReDrawMainBG() {
    if (isMinimized() || !background.logoLoaded()) {
        if (!isMinimized())
            m_mdi->setBackground(VbUnits::toColor(background.color()));
        return;
    }
    ++m_redraws;
    m_mdi->setBackground(QBrush(QPixmap::fromImage(background.compose(m_mdi->viewport()->size()))));
}

bool frmMain::eventFilter(QObject *watched, QEvent *e) {
    if (watched == m_mdi->viewport() && e->type() == QEvent::Resize)
        ReDrawMainBG();
    return QMainWindow::eventFilter(watched, e);
}

void frmMain::changeEvent(QEvent *e) {
    if (e->type() == QEvent::WindowStateChange && !isMinimized())
        ReDrawMainBG();
    QMainWindow::changeEvent(e);
}

void frmMain::closeEvent(QCloseEvent *e) {
    if (m_closing) {
        e->accept();
        return;
    }
    if (m_services && !m_services->backupOnClose()) {
        e->ignore();
        return;
    }
    m_closing = true;
    Settings::SaveSetting(AppState::title(), kPlaceSection, QStringLiteral("Geometry"),
                          WindowPlacement::format(isMaximized() || isMinimized() ? normalGeometry() : geometry()));
    Settings::SaveSetting(AppState::title(), kPlaceSection, QStringLiteral("Maximized"),
                          isMaximized() ? QStringLiteral("1") : QStringLiteral("0"));
    CloseAllFormsExcept(objectName());
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        sub->close();
    background.release();
    e->accept();
}
