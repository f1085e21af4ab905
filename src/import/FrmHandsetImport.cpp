#include "FrmHandsetImport.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "ErrorBox.h"
#include "ImportMapping.h"
#include "ImportWrite.h"
#include "Messages.h"
#include "PlanModel.h"
#include "Prompter.h"
#include "SheetFiles.h"
#include "fbMobil_Admin.h"
#include "mdlBackUp.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("핸드폰 자료 가져오기");
constexpr int kFirstRows = 8;

QLabel *buddyLabel(const QString &text, QWidget *buddy) {
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}
} // namespace

FrmHandsetImport::FrmHandsetImport(QWidget *parent) : QDialog(parent), m_caller(parent) {
    setObjectName(QStringLiteral("FrmHandsetImport"));
    setWindowTitle(kCaption);
    txtFile = new QLineEdit(this);
    txtFile->setReadOnly(true);
    btnFile = new QPushButton(QStringLiteral("파일 선택(&O)..."), this);
    cboSheet = new QComboBox(this);
    cboEncoding = new QComboBox(this);
    cboEncoding->addItems({QStringLiteral("자동"), QStringLiteral("UTF-8"), QStringLiteral("CP949 (완성형)")});
    spnHeader = new QSpinBox(this);
    spnHeader->setRange(0, 20);
    spnHeader->setValue(1);
    txtPictures = new QLineEdit(this);
    txtPictures->setPlaceholderText(QStringLiteral("<ID>.bmp, .jpg, .png 사진이 있는 폴더 (없으면 비워 둡니다)"));
    btnPictures = new QPushButton(QStringLiteral("사진 폴더(&P)..."), this);
    cboMatch = new QComboBox(this);
    cboMatch->addItems({QStringLiteral("관리번호가 같은 핸드폰을 바꿉니다"),
                        QStringLiteral("ID가 같은 핸드폰을 바꿉니다"),
                        QStringLiteral("찾지 않고 모두 새로 추가합니다")});

    auto *top = new QGridLayout;
    top->addWidget(buddyLabel(QStringLiteral("파일(&F):"), txtFile), 0, 0);
    top->addWidget(txtFile, 0, 1, 1, 5);
    top->addWidget(btnFile, 0, 6);
    top->addWidget(buddyLabel(QStringLiteral("시트(&S):"), cboSheet), 1, 0);
    top->addWidget(cboSheet, 1, 1);
    top->addWidget(buddyLabel(QStringLiteral("인코딩(&E):"), cboEncoding), 1, 2);
    top->addWidget(cboEncoding, 1, 3);
    top->addWidget(buddyLabel(QStringLiteral("제목 행 수(&H):"), spnHeader), 1, 4);
    top->addWidget(spnHeader, 1, 5);
    top->addWidget(buddyLabel(QStringLiteral("사진:"), txtPictures), 2, 0);
    top->addWidget(txtPictures, 2, 1, 1, 5);
    top->addWidget(btnPictures, 2, 6);
    top->setColumnStretch(1, 1);

    grdFirst = new QTableWidget(this);
    grdFirst->setObjectName(QStringLiteral("grdFirst"));
    grdFirst->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFirst->setMaximumHeight(200);

    m_mappingPanel = new QWidget;
    m_mappingGrid = new QGridLayout(m_mappingPanel);
    auto *mappingScroll = new QScrollArea(this);
    mappingScroll->setWidgetResizable(true);
    mappingScroll->setWidget(m_mappingPanel);
    auto *match = new QHBoxLayout;
    match->addWidget(buddyLabel(QStringLiteral("있는 핸드폰 찾기(&M):"), cboMatch));
    match->addWidget(cboMatch, 1);
    auto *mappingBox = new QVBoxLayout;
    mappingBox->addWidget(new QLabel(QStringLiteral("파일의 열 → 핸드폰 항목")));
    mappingBox->addWidget(mappingScroll, 1);
    mappingBox->addLayout(match);

    grdPreview = new QTableView(this);
    grdPreview->setObjectName(QStringLiteral("grdPreview"));
    m_model = new PlanModel(this);
    grdPreview->setModel(m_model);
    grdPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPreview->horizontalHeader()->setStretchLastSection(true);
    grdPreview->verticalHeader()->hide();
    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));

    btnPreview = new QPushButton(QStringLiteral("미리보기 F5"), this);
    btnImport = new QPushButton(QStringLiteral("가져오기(&I)"), this);
    btnImport->setEnabled(false);
    btnUndo = new QPushButton(QStringLiteral("되돌리기(&U)"), this);
    btnUndo->setEnabled(false);
    btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    for (QPushButton *b : {btnFile, btnPictures, btnPreview, btnImport, btnUndo, btnClose})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblCounts, 1);
    buttons->addWidget(btnPreview);
    buttons->addWidget(btnImport);
    buttons->addWidget(btnUndo);
    buttons->addWidget(btnClose);

    auto *middle = new QHBoxLayout;
    auto *firstBox = new QVBoxLayout;
    firstBox->addWidget(buddyLabel(QStringLiteral("파일의 첫 행들(&R)"), grdFirst));
    firstBox->addWidget(grdFirst, 1);
    middle->addLayout(firstBox, 3);
    middle->addLayout(mappingBox, 2);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addLayout(middle, 2);
    lay->addWidget(buddyLabel(QStringLiteral("미리보기(&V)"), grdPreview));
    lay->addWidget(grdPreview, 3);
    lay->addLayout(buttons);
    resize(1000, 720);

    connect(btnFile, &QPushButton::clicked, this, [this] {
        const QString file =
            prompter().openFileName(kCaption, QFileInfo(m_file).absolutePath(), SheetFiles::fileFilter());
        if (!file.isEmpty())
            openFile(file);
    });
    connect(btnPictures, &QPushButton::clicked, this, [this] {
        const QString folder = prompter().folder(QStringLiteral("사진 폴더"), txtPictures->text());
        if (!folder.isEmpty())
            txtPictures->setText(QDir::toNativeSeparators(folder));
    });
    connect(cboSheet, &QComboBox::activated, this, [this] { readSheet(); });
    connect(cboEncoding, &QComboBox::activated, this, [this] { readSheet(); });
    connect(spnHeader, &QSpinBox::valueChanged, this, [this] {
        buildMapping();
        forgetPreview();
    });
    connect(cboMatch, &QComboBox::currentIndexChanged, this, &FrmHandsetImport::forgetPreview);
    connect(txtPictures, &QLineEdit::textChanged, this, &FrmHandsetImport::forgetPreview);
    connect(btnPreview, &QPushButton::clicked, this, &FrmHandsetImport::preview);
    connect(btnImport, &QPushButton::clicked, this, &FrmHandsetImport::importRows);
    connect(btnUndo, &QPushButton::clicked, this, &FrmHandsetImport::undoImport);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto *f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, &FrmHandsetImport::preview);
    cboEncoding->setEnabled(false);
}

FrmHandsetImport::~FrmHandsetImport() = default;

std::function<bool(int)> FrmHandsetImport::progressOf(const QString &label, QProgressDialog &dialog) {
    dialog.setWindowTitle(kCaption);
    dialog.setLabelText(label);
    dialog.setCancelButtonText(QStringLiteral("취소"));
    dialog.setRange(0, 1000);
    dialog.setMinimumDuration(300);
    dialog.setWindowModality(Qt::WindowModal);
    // Wide enough for its title beside the window manager's buttons.
    dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(kCaption) + 200);
    return [&dialog](int permille) {
        dialog.setValue(permille);
        QApplication::processEvents();
        return !dialog.wasCanceled();
    };
}

bool FrmHandsetImport::openFile(const QString &file) {
    m_file = QFileInfo(file).absoluteFilePath();
    txtFile->setText(QDir::toNativeSeparators(m_file));
    cboSheet->clear();
    cboEncoding->setEnabled(SheetFiles::isText(m_file));
    cboEncoding->setCurrentIndex(0);
    return readSheet();
}

bool FrmHandsetImport::readSheet() {
    forgetPreview();
    SheetData::Options o;
    o.sheet = qMax(0, cboSheet->currentIndex());
    o.encoding = SheetData::Encoding(cboEncoding->currentIndex());
    QProgressDialog progress(this);
    o.progress = progressOf(QStringLiteral("파일을 읽는 중입니다..."), progress);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_read = SheetFiles::read(m_file, o);
    QApplication::restoreOverrideCursor();
    progress.reset();
    if (cboSheet->count() == 0 && !m_read.sheets.isEmpty()) {
        cboSheet->addItems(m_read.sheets);
        cboSheet->setCurrentIndex(o.sheet);
    }
    showFirstRows();
    buildMapping();
    if (!m_read.ok && !m_read.cancelled)
        MsgWarn(QStringLiteral("파일을 읽을 수 없습니다.\r\n") + QDir::toNativeSeparators(m_file) +
                QStringLiteral("\r\n") + m_read.message);
    if (m_read.cancelled)
        lblCounts->setText(m_read.message);
    if (m_read.ok && !m_read.encoding.isEmpty())
        lblCounts->setText(QStringLiteral("%1로 읽었습니다.").arg(m_read.encoding));
    return m_read.ok;
}

void FrmHandsetImport::showFirstRows() {
    const int rows = int(qMin<size_t>(m_read.rows.size(), kFirstRows));
    int cols = 0;
    for (int r = 0; r < rows; ++r)
        cols = qMax(cols, int(m_read.rows[size_t(r)].size()));
    grdFirst->clear();
    grdFirst->setRowCount(rows);
    grdFirst->setColumnCount(cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < int(m_read.rows[size_t(r)].size()); ++c)
            grdFirst->setItem(r, c, new QTableWidgetItem(m_read.rows[size_t(r)][c].left(200)));
}

void FrmHandsetImport::buildMapping() {
    for (QComboBox *c : cboMapping)
        delete c;
    cboMapping.clear();
    while (QLayoutItem *item = m_mappingGrid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!m_read.ok)
        return;
    const int headerRows = spnHeader->value();
    int cols = 0;
    for (size_t r = 0; r < m_read.rows.size() && r < size_t(kFirstRows) + size_t(headerRows); ++r)
        cols = qMax(cols, int(m_read.rows[r].size()));
    QStringList header;
    for (int c = 0; c < cols; ++c)
        header << (headerRows > 0 ? m_read.rows[size_t(headerRows - 1)].value(c) : QString());
    const std::vector<int> guessed = ImportMapping::guess(header);
    for (int c = 0; c < cols; ++c) {
        const QString sample =
            size_t(headerRows) < m_read.rows.size() ? m_read.rows[size_t(headerRows)].value(c) : QString();
        auto *label = new QLabel(QStringLiteral("%1열 %2").arg(c + 1).arg(header[c].left(30)));
        label->setToolTip(sample);
        auto *box = new QComboBox;
        box->addItems(ImportMapping::choices());
        box->setCurrentIndex(guessed[size_t(c)] + 1);
        box->setAccessibleName(label->text());
        label->setBuddy(box);
        connect(box, &QComboBox::currentIndexChanged, this, &FrmHandsetImport::forgetPreview);
        m_mappingGrid->addWidget(label, c, 0);
        m_mappingGrid->addWidget(box, c, 1);
        cboMapping.push_back(box);
    }
    m_mappingGrid->setRowStretch(cols, 1);
}

void FrmHandsetImport::forgetPreview() {
    m_plan = {};
    m_model->setPlan(nullptr);
    btnImport->setEnabled(false);
    lblCounts->clear();
}

bool FrmHandsetImport::preview() {
    forgetPreview();
    if (!m_read.ok) {
        MsgInfo(QStringLiteral("먼저 가져올 파일을 고르세요."));
        return false;
    }
    ImportPlan::Input in;
    in.rows = &m_read.rows;
    in.headerRows = spnHeader->value();
    for (QComboBox *box : cboMapping)
        in.mapping.push_back(box->currentIndex() - 1);
    if (std::find(in.mapping.begin(), in.mapping.end(), 1) == in.mapping.end()) {
        MsgInfo(QStringLiteral("[ID]가 될 열을 고르세요."));
        return false;
    }
    in.match = ImportPlan::Match(cboMatch->currentIndex());
    in.codeLength = gCodeLength;
    in.pictureFolder = QFileInfo(m_file).absolutePath();
    in.idPictureFolder = QDir::fromNativeSeparators(txtPictures->text().trimmed());
    QProgressDialog progress(this);
    in.progress = progressOf(QStringLiteral("미리보기를 만드는 중입니다..."), progress);
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_catalogue = ImportPlan::readCatalogue();
        m_plan = ImportPlan::build(in, m_catalogue);
        QApplication::restoreOverrideCursor();
    } catch (const AppError &e) {
        QApplication::restoreOverrideCursor();
        ErrorBox::report(e, QStringLiteral("preview"), QStringLiteral("Form ") + objectName());
        return false;
    }
    if (m_plan.cancelled) {
        m_plan = {};
        return false;
    }
    m_model->setPlan(&m_plan);
    grdPreview->resizeColumnsToContents();
    // One long model name must not push the reasons out of sight; a cut text shows whole as a tip.
    const int widest = grdPreview->fontMetrics().horizontalAdvance(QString(16, QChar(u'가')));
    for (int c = 0; c + 1 < m_model->columnCount(); ++c)
        grdPreview->setColumnWidth(c, qMin(grdPreview->columnWidth(c), widest));
    const ImportPlan::Counts &n = m_plan.counts;
    lblCounts->setText(
        QStringLiteral("추가 %1 / 변경 %2 / 같음 %3 / 오류 %4").arg(n.add).arg(n.change).arg(n.same).arg(n.error));
    btnImport->setEnabled(n.add + n.change > 0);
    return true;
}

bool FrmHandsetImport::importRows() {
    if (!btnImport->isEnabled())
        return false;
    const ImportPlan::Counts &n = m_plan.counts;
    QString question = QStringLiteral("%1건을 추가하고 %2건을 바꿉니다.").arg(n.add).arg(n.change);
    if (n.error > 0)
        question += QStringLiteral("\r\n오류 %1건은 가져오지 않습니다.").arg(n.error);
    if (MsgAsk(question + QStringLiteral("\r\n가져오기 전에 지금의 자료를 백업합니다. 계속하시겠습니까?"), kCaption) !=
        vbYes)
        return false;
    const int duplicates = ImportWrite::duplicateIds(m_plan, m_catalogue);
    const bool skip =
        duplicates > 0 && MsgAsk(ImportWrite::kDuplicateIdsQuestion.arg(duplicates), kCaption, false) != vbYes;
    ImportWrite::Options o;
    o.codeLength = gCodeLength;
    o.databaseFolder = gDBPath.isEmpty() ? AppPaths::inApp(QStringLiteral("DBS")) : gDBPath;
    o.archiveFolder = Backup::archiveFolder(Backup::HardDisk, o.databaseFolder);
    o.logFolder = AppPaths::inApp(QStringLiteral("ExpExcel"));
    QProgressDialog progress(this);
    o.progress = progressOf(QStringLiteral("가져오는 중입니다..."), progress);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ImportWrite::Outcome out = ImportWrite::write(m_plan, m_catalogue, skip, o);
    QApplication::restoreOverrideCursor();
    progress.reset();
    if (!out.ok) {
        if (!out.cancelled)
            MsgWarn(out.message, kCaption);
        return false;
    }
    m_done = out;
    btnUndo->setEnabled(true);
    if (auto *list = qobject_cast<fbMobil_Admin *>(m_caller.data()))
        list->QueryList();
    forgetPreview();
    QString done = QStringLiteral("%1건을 추가하고 %2건을 바꾸었습니다.").arg(out.added).arg(out.changed);
    if (out.pictures > 0)
        done += QStringLiteral("\r\n사진 %1장을 넣었습니다.").arg(out.pictures);
    if (out.skipped > 0)
        done += QStringLiteral("\r\n같은 ID가 있는 %1건은 뺐습니다.").arg(out.skipped);
    done += QStringLiteral("\r\n\r\n가져오기 전의 자료: ") + QDir::toNativeSeparators(out.archive) +
            QStringLiteral("\r\n(되돌리기: 이 백업으로 가져오기 전의 자료를 복원합니다.)");
    if (!out.log.isEmpty())
        done += QStringLiteral("\r\n기록: ") + QDir::toNativeSeparators(out.log);
    if (!out.message.isEmpty())
        done += QStringLiteral("\r\n\r\n") + out.message;
    MsgInfo(done, kCaption);
    return true;
}

bool FrmHandsetImport::undoImport() {
    if (m_done.archive.isEmpty())
        return false;
    const QString question =
        QStringLiteral("가져오기 전의 자료로 되돌립니다. 가져온 뒤에 바꾼 자료도 없어집니다.\r\n%1\r\n\r\n"
                       "프로그램을 닫은 뒤 백업 프로그램이 복원합니다. 계속하시겠습니까?")
            .arg(QDir::toNativeSeparators(m_done.archive));
    const QString folder = gDBPath.isEmpty() ? AppPaths::inApp(QStringLiteral("DBS")) : gDBPath;
    if (!mdlBackUp::RestoreArchive(m_done.archive, folder, question))
        return false;
    // The restore waits for the program to end; the close asks nothing once it was started.
    accept();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("frmMain"))
            w->close();
    return true;
}
