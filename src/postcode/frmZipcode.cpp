#include "frmZipcode.h"
#include "CaptionPanel.h"
#include "Messages.h"
#include "PostcodeDownload.h"
#include "PostcodeSql.h"
#include "PostcodeUpdate.h"
#include "Spread.h"
#include "modFrmCtrl.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the search box and the grid, never to a default button.
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmZipcode::frmZipcode(QWidget *parent, const QString &databaseFile) : QDialog(parent), m_file(databaseFile) {
    setObjectName(QStringLiteral("frmZipcode"));
    setWindowTitle(QStringLiteral("우편번호 검색"));
    pnlLabel = new CaptionPanel(QStringLiteral("읍/면/동"), this);
    pnlLabel->setObjectName(QStringLiteral("pnlLabel"));
    pnlLabel->setMinimumWidth(80);
    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    txtInput->installEventFilter(this);
    Label1 = new QLabel(QStringLiteral("(읍/면/동을 입력하세요.)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    spList = new Spread(this);
    spList->setObjectName(QStringLiteral("spList"));
    btnSel = makeButton(this, "btnSel", QStringLiteral("선택 &S"));
    btnClose = makeButton(this, "btnClose", QStringLiteral("닫기 &C"));
    btnDBUpdate = makeButton(this, "btnDBUpdate", QStringLiteral("최신 우편번호 업그레이드"));
    setUpGrid();

    auto *search = new QHBoxLayout;
    search->addWidget(pnlLabel);
    search->addWidget(txtInput, 1);
    search->addWidget(Label1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnDBUpdate);
    buttons->addStretch(1);
    buttons->addWidget(btnSel);
    buttons->addWidget(btnClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(search);
    lay->addWidget(spList, 1);
    lay->addLayout(buttons);
    resize(640, 420);

    connect(txtInput, &QLineEdit::returnPressed, this, &frmZipcode::SearchFromWindow);
    connect(btnSel, &QPushButton::clicked, this, &frmZipcode::btnSel_Click);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnDBUpdate, &QPushButton::clicked, this, &frmZipcode::btnDBUpdate_Click);
    connect(spList, &Spread::cellDoubleClicked, this, [this](int, int row) {
        if (row >= 1)
            chooseAndClose(spList->activeRow());
    });
    connect(spList, &Spread::keyDown, this, [this](int key, int, bool *consumed) {
        if (key != 13)
            return;
        *consumed = true;
        if (spList->maxRows() > 0 && spList->activeRow() >= 1)
            chooseAndClose(spList->activeRow());
    });
    SetFormStyle(this, true);
    openDatabase();
}

frmZipcode::~frmZipcode() {
    modMDB_Func::CloseObj(m_rs);
    m_db.close();
}

void frmZipcode::setUpGrid() {
    const QStringList headers{QStringLiteral("우편번호"), QStringLiteral("시/도"), QStringLiteral("구/군"),
                              QStringLiteral("동/면"), QStringLiteral("번지")};
    const double widths[] = {9, 14, 16, 14, 14};
    spList->setMaxCols(int(headers.size()));
    for (int c = 1; c <= headers.size(); ++c) {
        spList->setHeaderText(c, 1, headers[c - 1]);
        spList->setColWidth(c, widths[c - 1]);
    }
    // A read-only list: whole rows are chosen, no cell takes typing.
    spList->setSingleRowSelect(true);
    spList->setBlockSelect(false);
    spList->setLock(-1, -1, true);
    spList->setActionKeysEnabled(false);
    spList->setMaxRows(0);
    spList->setOddEvenRowColor(Qt::white, Qt::black, QColor(245, 245, 245), Qt::black);
}

void frmZipcode::openDatabase() { m_missing = m_db.open(m_file) == PostcodeConnection::Result::Missing; }

int frmZipcode::exec() {
    if (m_missing)
        return Rejected;
    return QDialog::exec();
}

int frmZipcode::InitForm(const QString &text) {
    if (text.isEmpty())
        return 2;
    if (m_missing)
        return 0;
    txtInput->setText(text);
    const int rows = RefreshSheet();
    if (rows == 1) {
        if (chooseRow(1))
            return 1;
        MsgInfo(QStringLiteral("데이터에 문제가 있어 우편번호를 찾을 수 없습니다."));
        return 0;
    }
    return rows >= 2 ? 2 : 0;
}

int frmZipcode::RefreshSheet() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    spList->setRedraw(false);
    spList->setMaxRows(0);
    const int count = modMDB_Func::OpenRecordsetOn(m_db.database(), m_rs, PostcodeSql::searchQuery(txtInput->text()));
    if (count > 0) {
        spList->setMaxRows(count);
        // The code in the form a choice returns, so what is read off the list is what is taken.
        for (int r = 0; r < count; ++r) {
            spList->setText(1, r + 1, PostcodeSql::formatCode(m_rs.rawText(r, 0)));
            for (int c = 1; c < 5; ++c)
                spList->setText(c + 1, r + 1, m_rs.rawText(r, c));
        }
        spList->setActiveCell(1, 1);
    }
    spList->setRedraw(true);
    QApplication::restoreOverrideCursor();
    return count;
}

bool frmZipcode::chooseRow(int row) {
    if (row < 1 || row > spList->maxRows())
        return false;
    const QString code = spList->text(1, row);
    if (code.isEmpty())
        return false;
    m_post = PostcodeSql::formatCode(code);
    m_addr = PostcodeSql::joinAddress(spList->text(2, row), spList->text(3, row), spList->text(4, row));
    return true;
}

void frmZipcode::chooseAndClose(int row) {
    if (chooseRow(row))
        accept();
    else
        MsgInfo(QStringLiteral("리스트에서 선택하세요."));
}

void frmZipcode::btnSel_Click() { chooseAndClose(spList->activeRow()); }

void frmZipcode::SearchFromWindow() {
    const QString text = txtInput->text();
    if (text.isEmpty()) {
        MsgInfo(QStringLiteral("검색어를 입력하세요."));
        return;
    }
    if (RefreshSheet() > 0) {
        spList->setFocus();
        return;
    }
    MsgInfo(QLatin1Char('\'') + text + QStringLiteral("' 를 찾을 수 없습니다."));
    txtInput->setFocus();
}

bool frmZipcode::DownloadFile(const QString &url, const QString &localPath) {
    m_progress = new QProgressDialog(QStringLiteral("최신 우편번호 DB를 내려받는 중입니다..."), QStringLiteral("취소"),
                                     0, 0, this);
    m_progress->setWindowTitle(windowTitle());
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->show();
    PostcodeDownload::Options options;
    options.timeoutMs = m_downloadTimeoutMs;
    options.maxBytes = PostcodeUpdate::kMaxArchiveBytes;
    options.progress = [this](qint64 received, qint64 total) {
        if (total > 0) {
            m_progress->setMaximum(int(qMin<qint64>(total / 1024 + 1, INT_MAX)));
            m_progress->setValue(int(qMin<qint64>(received / 1024, INT_MAX)));
        }
        return !m_progress->wasCanceled();
    };
    const PostcodeDownload::Result result = PostcodeDownload::fetch(QUrl(url), localPath, options);
    delete m_progress;
    m_progress = nullptr;
    m_downloadError = result.message;
    return result.ok;
}

void frmZipcode::btnDBUpdate_Click() {
    const QUrl url = PostcodeUpdate::archiveUrl();
    if (url.isEmpty()) {
        MsgWarn(PostcodeUpdate::noServerMessage());
        return;
    }
    const QString question = QStringLiteral("정말 최신 우편번호로 업그레이드 하시겠습니까?\r\n\r\n"
                                            "컴퓨터환경에 따라 수분의 시간이 소요될수 있으며,\r\n"
                                            "업그레이드 도중 다른작업은 할 수 없습니다.");
    if (MsgAsk(question, QString(), false) != vbYes)
        return;
    modMDB_Func::CloseObj(m_rs);
    m_db.close();
    const QString folder = QFileInfo(m_file).absolutePath();
    const QString archive = folder + QStringLiteral("/dbPost.zip");
    PostcodeUpdate::Result result;
    if (DownloadFile(url.toString(), archive) && QFileInfo::exists(archive)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = PostcodeUpdate::install(archive, m_file);
        QApplication::restoreOverrideCursor();
    } else {
        result.message = m_downloadError;
    }
    QFile::remove(archive);
    if (result.ok)
        MsgInfo(QStringLiteral("우편번호 최신 업그레이드가 정상적으로 완료 되었습니다."));
    else
        MsgWarn(QStringLiteral("우편번호 최신 업그레이드 실패하였습니다.") + QStringLiteral("\r\n") + result.message);
    openDatabase();
    // The rows shown came from the database that was closed.
    if (!m_missing && m_db.isOpen() && !txtInput->text().isEmpty())
        RefreshSheet();
    else
        spList->setMaxRows(0);
}

void frmZipcode::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F5) {
        SearchFromWindow();
        return;
    }
    if (e->key() == Qt::Key_F3) {
        txtInput->setFocus();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool frmZipcode::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        focusOnActivate();
    return QDialog::event(e);
}

void frmZipcode::focusOnActivate() {
    if (spList->maxRows() > 0)
        spList->setFocus();
    else
        txtInput->setFocus();
}

bool frmZipcode::eventFilter(QObject *watched, QEvent *e) {
    // After a click the line edit places the cursor itself; select once it has.
    if (watched == txtInput && e->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtInput, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, e);
}

void frmZipcode::done(int r) {
    modMDB_Func::CloseObj(m_rs);
    QDialog::done(r);
}
