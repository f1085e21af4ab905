#include "fBMobil_Save_Search.h"
#include "FloatMsg.h"
#include "HandsetColumns.h"
#include "HandsetSql.h"
#include "HandsetToolbar.h"
#include "Spread.h"
#include "modFrmCtrl.h"
#include "modMDB_Func.h"
#include "modSpread60.h"
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace modMDB_Func;

fBMobil_Save_Search::fBMobil_Save_Search(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fBMobil_Save_Search"));
    setWindowTitle(QStringLiteral("검색"));
    txtinput = new QLineEdit(this);
    txtinput->setObjectName(QStringLiteral("txtinput"));
    btnQuery = HandsetUi::button(this, "btnQuery", QStringLiteral("조회 F5"), QStyle::SP_FileDialogContentsView);
    btnSel = HandsetUi::button(this, "btnSel", QStringLiteral("선택 &S"), QStyle::SP_DialogApplyButton);
    spList = new Spread(this);
    spList->setObjectName(QStringLiteral("spList"));
    spList->setMaxCols(1);
    spList->setColWidth(1, 45.75);
    modSpread60::CommonSpreadDesign(spList, true, true, true, true, true);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("검색(F3) :"), this));
    top->addWidget(txtinput, 1);
    top->addWidget(btnQuery);
    top->addWidget(btnSel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(spList, 1);
    resize(420, 460);

    txtinput->installEventFilter(this);
    connect(btnQuery, &QPushButton::clicked, this, [this] { Refresh_sheet(m_field, txtinput->text()); });
    connect(btnSel, &QPushButton::clicked, this, [this] { PickRow(-1); });
    connect(spList, &Spread::cellDoubleClicked, this, [this](int, int row) {
        if (row > 0)
            PickRow(row);
    });
    connect(spList, &Spread::keyDown, this, [this](int key, int, bool *consumed) {
        if (key == 13) {
            PickRow(-1);
            *consumed = true;
        }
    });
    connect(spList, &Spread::rightClicked, this, [this](int, int, const QPoint &) {
        modSpread60::ShowSpreadMenu(this, spList, false, QString(), false, true);
    });
    SetFormStyle(this, true);
}

void fBMobil_Save_Search::Refresh_sheet(const QString &sField, const QString &sWhr) {
    m_field = sField;
    if (const int longest = HandsetColumns::maxLength(sField); longest > 0)
        txtinput->setMaxLength(longest);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    spList->setRedraw(false);
    spList->setMaxRows(0);
    Recordset rs;
    const int count = qMax(0, OpenRecordset(rs, HandsetSql::lookupQuery(sField, sWhr)));
    spList->setMaxRows(count);
    for (int r = 0; r < count; ++r)
        spList->setText(1, r + 1, rs.rawText(r, 0));
    if (count == 0 && isVisible())
        ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), 500);
    CloseObj(rs);
    spList->setActiveCell(1, 1);
    spList->setRedraw(true);
    QApplication::restoreOverrideCursor();
}

void fBMobil_Save_Search::PickRow(int row) {
    m_result = GetSpreadText(spList, ColName(), row < 0 ? -2 : row);
    accept();
}

void fBMobil_Save_Search::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F5) {
        Refresh_sheet(m_field, txtinput->text());
        return;
    }
    if (e->key() == Qt::Key_F3) {
        txtinput->setFocus();
        txtinput->selectAll();
        return;
    }
    QDialog::keyPressEvent(e);
}

void fBMobil_Save_Search::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    // Values to pick from: Down and Enter choose one at once.
    if (spList->maxRows() > 0)
        spList->setFocus();
    else
        txtinput->setFocus();
}

bool fBMobil_Save_Search::eventFilter(QObject *watched, QEvent *e) {
    if (watched == txtinput && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            if (key != Qt::Key_Down)
                Refresh_sheet(m_field, txtinput->text());
            if (spList->maxRows() > 0)
                spList->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

QString OpenHandsetLookup(const QString &field, const QString &text) {
    fBMobil_Save_Search lookup(mainWindow());
    lookup.Refresh_sheet(field, text);
    ShowModalOver(&lookup, mainWindow());
    return lookup.result();
}
