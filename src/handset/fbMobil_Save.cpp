#include "fbMobil_Save.h"
#include "AppState.h"
#include "CaptionPanel.h"
#include "ErrorBox.h"
#include "FloatMsg.h"
#include "FrmImageZoom.h"
#include "HandsetPictures.h"
#include "HandsetSave.h"
#include "HandsetSql.h"
#include "HandsetToolbar.h"
#include "Messages.h"
#include "Prompter.h"
#include "Settings.h"
#include "UpperCaseValidator.h"
#include "WindowFit.h"
#include "fBMobil_Save_Search.h"
#include "modFrmCtrl.h"
#include "modMDB_Func.h"
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

using namespace modMDB_Func;

namespace {
bool isListWindow(const QWidget *w) {
    return w && w->objectName().compare(QStringLiteral("fbMobil_Admin"), Qt::CaseInsensitive) == 0;
}

const int kIdField = HandsetColumns::find(QStringLiteral("mid"))->field;
} // namespace

fbMobil_Save::fbMobil_Save(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fbMobil_Save"));
    setWindowTitle(QStringLiteral("핸드폰 등록"));
    auto *pnlMain = new QFrame(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    pnlMain->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *grid = new QGridLayout(pnlMain);
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i) {
        const HandsetColumns::Column &column = HandsetColumns::field(i);
        pnlLabel[i] = new CaptionPanel(column.entryLabel(), pnlMain);
        pnlLabel[i]->setObjectName(QStringLiteral("pnlLabel_%1").arg(i));
        pnlLabel[i]->setBackColor(8421376);
        pnlLabel[i]->setMinimumWidth(90);
        htField[i] = HandsetUi::field(pnlMain, "htField", i);
        htField[i]->setMaxLength(i == 0 ? gCodeLength : column.maxLength);
        htField[i]->installEventFilter(this);
        htField[i]->setMinimumWidth(i >= 6 ? 260 : 180);
        grid->addWidget(pnlLabel[i], i, 0);
        grid->addWidget(htField[i], i, 1);
        if (column.lookup & HandsetColumns::EntryLookup) {
            QPushButton *b = HandsetUi::lookupButton(pnlMain, QStringLiteral("btnCharge_%1").arg(i));
            connect(b, &QPushButton::clicked, this, [this, i] { OpenLookup(i); });
            grid->addWidget(b, i, 2);
        }
    }
    htField[0]->setValidator(new UpperCaseValidator(htField[0]));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(120, 200);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->installEventFilter(this);
    btnPicture = HandsetUi::button(this, "btnPicture", QStringLiteral("사진 선택(&P)"), QStyle::SP_DirOpenIcon);
    chkAuto = new QCheckBox(QStringLiteral("자동(&A)"), this);
    chkAuto->setObjectName(QStringLiteral("chkAuto"));
    chkCun = new QCheckBox(QStringLiteral("계속 등록하기(&N)"), this);
    chkCun->setObjectName(QStringLiteral("chkCun"));
    btnSave = HandsetUi::button(this, "btnSave", QStringLiteral("저장 F2"), QStyle::SP_DialogSaveButton);
    btnClose = HandsetUi::button(this, "btnClose", QStringLiteral("닫기 &C"), QStyle::SP_DialogCloseButton);
    auto *lblInfo = new QLabel(QStringLiteral("『 *는 필수입력』"), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));

    auto *side = new QVBoxLayout;
    side->addWidget(Image1);
    side->addWidget(btnPicture);
    side->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(pnlMain, 1);
    top->addLayout(side);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkAuto);
    bottom->addWidget(chkCun);
    bottom->addWidget(lblInfo);
    bottom->addStretch();
    bottom->addWidget(btnSave);
    bottom->addWidget(btnClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addLayout(bottom);

    connect(chkAuto, &QCheckBox::clicked, this, [this] { chkAuto_Click(); });
    connect(chkCun, &QCheckBox::clicked, this, [this] { chkCun_Click(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { Save(); });
    connect(btnPicture, &QPushButton::clicked, this, [this] { ChoosePicture(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    for (int i = 0; i < 9; ++i)
        MoveByEnterAndArrows(htField[i]);
    SetFormStyle(this, true);
    Form_Load();
}

QString fbMobil_Save::settingKey(const QString &suffix) const { return objectName().toUpper() + suffix; }

void fbMobil_Save::clearFields() {
    for (QLineEdit *f : htField)
        f->clear();
}

void fbMobil_Save::clearPicture() {
    m_picture = QImage();
    m_chosen = QImage();
    Image1->clear();
}

void fbMobil_Save::Form_Load() {
    m_mode = 1;
    m_loadedId.clear();
    clearPicture();
    clearFields();
    const QString title = AppState::title(), config = QStringLiteral("Config");
    chkCun->setChecked(Settings::GetSetting(title, config, settingKey(QStringLiteral("_CHKCUNTINUE")),
                                            QStringLiteral("1")) == QLatin1String("1"));
    chkAuto->setChecked(Settings::GetSetting(title, config, settingKey(QStringLiteral("_CHKAUTO")),
                                             QStringLiteral("1")) == QLatin1String("1"));
    chkAuto->setEnabled(true);
    htField[0]->setReadOnly(chkAuto->isChecked());
    htField[0]->setFocusPolicy(chkAuto->isChecked() ? Qt::ClickFocus : Qt::StrongFocus);
}

void fbMobil_Save::SetFormMode(int mode, QWidget *caller, int iCode) {
    m_mode = mode;
    chkCun->setVisible(false);
    if (caller)
        m_caller = caller;
    if (mode == 1) {
        setWindowTitle(QStringLiteral("핸드폰 등록 - 『신규등록』"));
        if (chkAuto->isChecked())
            htField[0]->setFocusPolicy(Qt::ClickFocus);
        chkCun->setVisible(isListWindow(m_caller));
    } else {
        setWindowTitle(QStringLiteral("핸드폰 등록 - 『수정』"));
        chkAuto->setEnabled(false);
        htField[0]->setReadOnly(true);
        g_nCode = iCode;
        DispRec(iCode);
    }
    focusTarget()->setFocus();
}

QWidget *fbMobil_Save::focusTarget() const { return chkAuto->isChecked() ? htField[1] : htField[0]; }

void fbMobil_Save::DispRec(int code) {
    m_loadedPicture = QImage();
    Recordset rs;
    try {
        if (OpenRecordset(rs, HandsetSql::recordQuery(code)) > 0) {
            for (int i = 0; i < HandsetColumns::kFieldCount; ++i) {
                m_loaded[size_t(i)] = rs.text(HandsetColumns::field(i).columnName());
                htField[i]->setText(m_loaded[size_t(i)]);
            }
            g_nCode = rs.value(QStringLiteral("code")).toInt();
            m_loadedId = rs.text(QStringLiteral("mid"));
            m_loadedPicture = HandsetPictures::load(m_loadedId);
            if (!m_loadedPicture.isNull())
                showPicture(m_loadedPicture);
        }
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("DispRec"), QStringLiteral("Form ") + objectName());
    }
    CloseObj(rs);
}

void fbMobil_Save::ChoosePicture() {
    if (m_pictureFolder.isEmpty()) // not the program's working folder
        m_pictureFolder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QFileInfo(m_pictureFolder).isDir())
        m_pictureFolder = QDir::homePath();
    const QString file =
        prompter().openFileName(QStringLiteral("사진 선택"), m_pictureFolder,
                                QStringLiteral("그림 파일 (*.bmp *.jpg *.jpeg *.png *.gif);;모든 파일 (*)"));
    if (file.isEmpty())
        return;
    m_pictureFolder = QFileInfo(file).absolutePath();
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage img = reader.read();
    if (img.isNull()) {
        MsgWarn(QStringLiteral("그림 파일을 읽을 수 없습니다.\r\n") + QDir::toNativeSeparators(file));
        return;
    }
    m_chosen = img;
    showPicture(img);
}

void fbMobil_Save::showPicture(const QImage &img) {
    m_picture = img;
    Image1->setPixmap(QPixmap::fromImage(img.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

HandsetColumns::Fields fbMobil_Save::fieldTexts() const {
    HandsetColumns::Fields values;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
        values[size_t(i)] = htField[size_t(i)]->text();
    return values;
}

HandsetSave::Result fbMobil_Save::resolveConflict(const HandsetSave::Result &r, const HandsetColumns::Fields &fields,
                                                  const HandsetSave::PictureChange &picture) {
    using HandsetSave::Result;
    if (r.status == Result::ChangedElsewhere) {
        if (MsgAsk(QStringLiteral("다른 PC에서 이 핸드폰 정보가 바뀌었습니다. 덮어쓰시겠습니까? (아니요: 새로 읽기)"),
                   windowTitle(), false) == vbYes)
            return HandsetSave::save(fields, 2, false, g_nCode, gCodeLength, picture);
        // What the other PC saved, shown in place of this window's typing.
        clearPicture();
        DispRec(g_nCode);
        focusTarget()->setFocus();
    } else if (r.status == Result::DeletedElsewhere) {
        if (MsgAsk(QStringLiteral("다른 PC에서 이 핸드폰이 삭제되었습니다. 새 핸드폰으로 저장하시겠습니까?"),
                   windowTitle(), false) == vbYes) {
            const QString id = fields[size_t(kIdField)];
            Result added = HandsetSave::save(fields, 1, chkAuto->isChecked(), 0, gCodeLength,
                                             HandsetSave::planPicture(0, QString(), id, m_chosen));
            if (added.status == Result::Saved) {
                m_mode = 1; // the list adds it as the new row it is
                m_loadedId.clear();
            }
            return added;
        }
    }
    return r;
}

bool fbMobil_Save::Save() {
    const bool autoNumber = chkAuto->isChecked();
    const HandsetColumns::Fields fields = fieldTexts();
    const QString id = fields[size_t(kIdField)];
    const bool complete = HandsetSave::missingRequired(fields, autoNumber) < 0;
    // Another handset with the ID: asked first; "No" saves nothing and keeps the input.
    if (complete && !HandsetSave::confirmId(id, m_mode, g_nCode, m_loadedId)) {
        SafeSetFocus(htField[size_t(kIdField)]);
        return false;
    }
    // A picture chosen here would replace one another PC gave the handset after this window read it.
    if (complete && m_mode != 1 && !m_chosen.isNull() && HandsetPictures::load(m_loadedId) != m_loadedPicture &&
        MsgAsk(QStringLiteral(
                   "다른 PC에서 이 핸드폰의 사진이 바뀌었습니다. 고른 사진으로 바꾸시겠습니까? (아니요: 새로 읽기)"),
               windowTitle(), false) != vbYes) {
        clearPicture();
        DispRec(g_nCode);
        focusTarget()->setFocus();
        return false;
    }
    // What becomes of the picture is asked before the record is written, so both go together.
    const HandsetSave::PictureChange picture =
        complete
            ? HandsetSave::planPicture(m_mode == 1 ? 0 : g_nCode, m_mode == 1 ? QString() : m_loadedId, id, m_chosen)
            : HandsetSave::PictureChange{};
    HandsetSave::Result r =
        HandsetSave::save(fields, m_mode, autoNumber, g_nCode, gCodeLength, picture, m_mode == 1 ? nullptr : &m_loaded);
    r = resolveConflict(r, fields, picture);
    if (r.status == HandsetSave::Result::MissingField) {
        const int f = r.missingField;
        CheckRequired(htField[size_t(f)], HandsetColumns::field(f).requiredName(), false);
        return false;
    }
    if (r.status != HandsetSave::Result::Saved) {
        HandsetSave::explainRefusal(r);
        if (r.status == HandsetSave::Result::DuplicateCode && !autoNumber)
            SafeSetFocus(htField[0]);
        return false;
    }
    htField[0]->setText(r.code);
    g_nCode = r.key;
    m_loaded = r.fields;
    m_chosen = QImage();
    if (m_mode != 1)
        m_loadedId = id;
    Q_EMIT saved(g_nCode, m_mode, r.fields);
    ShowFloatMsg(QStringLiteral("자료가 저장되었습니다."), 500, WindowFit::onScreen(this));
    // The box's own visibility, so the rule holds before the window is shown too.
    if (m_mode == 1 && !chkCun->isHidden() && chkCun->isChecked()) {
        clearFields();
        clearPicture();
        focusTarget()->setFocus();
    } else {
        accept();
    }
    return true;
}

void fbMobil_Save::chkAuto_Click() {
    if (!isVisible())
        return;
    Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), settingKey(QStringLiteral("_CHKAUTO")),
                          chkAuto->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    htField[0]->clear();
    htField[0]->setReadOnly(chkAuto->isChecked());
    htField[0]->setFocusPolicy(chkAuto->isChecked() ? Qt::ClickFocus : Qt::StrongFocus);
    focusTarget()->setFocus();
}

void fbMobil_Save::chkCun_Click() {
    Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), settingKey(QStringLiteral("_CHKCUNTINUE")),
                          chkCun->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void fbMobil_Save::field0_LostFocus() {
    const QString typed = htField[0]->text();
    if (typed.isEmpty() || typed.size() >= gCodeLength)
        return;
    if (MsgAsk(QStringLiteral("코드는 %1자리를 사용하길 권장합니다. 나머지를 자동으로 채울까요?").arg(gCodeLength)) !=
        vbYes)
        return;
    try {
        const QString code = GetNextCode(QStringLiteral("t_mobile"), QStringLiteral("mcode"), gCodeLength, typed);
        if (!code.isEmpty())
            htField[0]->setText(code);
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("htField_LostFocus"), QStringLiteral("Form ") + objectName());
    }
}

void fbMobil_Save::OpenLookup(int member) {
    const QString result = OpenHandsetLookup(HandsetColumns::field(member).columnName(), htField[member]->text());
    if (!result.isEmpty())
        htField[member]->setText(result);
}

bool fbMobil_Save::eventFilter(QObject *watched, QEvent *e) {
    if (watched == htField[0] && e->type() == QEvent::FocusOut) {
        // A box or pop-up taking the focus is not the user leaving the field.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(e)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            field0_LostFocus();
    } else if (watched == Image1 && e->type() == QEvent::MouseButtonPress && !m_picture.isNull()) {
        FrmImageZoom zoom(this);
        zoom.setPicture(m_picture);
        ShowModalOver(&zoom, this);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void fbMobil_Save::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F2) {
        if (CanFocus(btnSave)) {
            btnSave->setFocus();
            Save();
        }
        return;
    }
    QDialog::keyPressEvent(e); // Esc closes
}
