#pragma once
#include "MainBackground.h"
#include <QMainWindow>

class QMdiArea;
class QLabel;
class CaptionPanel;
class QMenu;
class QToolBar;
class ProgramServices;

// The multiple-document main window: menu, toolbar, name panel, status bar, background.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    QMdiArea *mdiArea() const { return m_mdi; }
    // Adds a child window to the work area and shows it.
    QWidget *addChild(QWidget *child);

    // The backups of the close sequence and the menu; without services the window closes
    // without one.
    void setServices(ProgramServices *services) { m_services = services; }

    MainBackground background;
    int redrawCount() const { return m_redraws; }

    void mnuBase_Mobil_Click();
    void mnuETCRoot_Calc_Click();
    void mnuETCRoot_Backup_Click();
    void mnuWindow_AllClose_Click();
    void mnuHelp_AS_Click();
    void mnuSupport_Click();
    void mnuHomePage_Click();
    void ReDrawMainBG();

    static QString calculatorProgram();

protected:
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

    ProgramServices *m_services = nullptr;

private:
    void placeOnScreen();
    void buildMenu();
    void buildToolbar();
    void buildStatusBar();
    void updateClock();
    void fillWindowList();
    void openWebLink(const QString &question, const QString &url);

    QMdiArea *m_mdi = nullptr;
    class ChildWindowKeys *m_childKeys = nullptr;
    QMenu *m_windowMenu = nullptr;
    QToolBar *m_toolbar = nullptr;
    CaptionPanel *m_userName = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_weekday = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_dbPath = nullptr;
    int m_redraws = 0;
    bool m_closing = false;
};
