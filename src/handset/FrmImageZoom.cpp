#include "FrmImageZoom.h"
#include "HandsetPictures.h"
#include "modFrmCtrl.h"
#include <QEvent>
#include <QLabel>

FrmImageZoom::FrmImageZoom(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmImageZoom"));
    setWindowTitle(QStringLiteral("이미지 확대 (이미지 더블클릭시 창닫힘)"));
    if (mainWindow())
        setWindowIcon(mainWindow()->windowIcon());
    picBig = new QLabel(this);
    picBig->setObjectName(QStringLiteral("picBig"));
    picBig->installEventFilter(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->move(0, 0);
    Image1->hide();
    resize(480, 560);
}

void FrmImageZoom::setPicture(const QImage &picture) {
    picBig->setPixmap(QPixmap::fromImage(picture));
    picBig->resize(picture.size());
    Image1->clear();
    layoutPicture();
}

bool FrmImageZoom::setHandsetPicture(const QString &id) {
    const QImage picture = HandsetPictures::load(id);
    setPicture(picture);
    return !picture.isNull();
}

void FrmImageZoom::resizeEvent(QResizeEvent *e) {
    QDialog::resizeEvent(e);
    layoutPicture();
}

void FrmImageZoom::layoutPicture() {
    if (isMinimized())
        return;
    const QSize inner = size();
    Image1->resize(inner);
    if (picBig->width() > inner.width() && picBig->height() > inner.height()) {
        if (!picBig->pixmap().isNull() && Image1->pixmap().isNull())
            Image1->setPixmap(picBig->pixmap());
        picBig->hide();
        Image1->show();
    } else {
        Image1->hide();
        picBig->show();
        picBig->move((inner.width() - picBig->width()) / 2, (inner.height() - picBig->height()) / 2);
    }
}

bool FrmImageZoom::eventFilter(QObject *watched, QEvent *e) {
    if (watched == picBig && e->type() == QEvent::MouseButtonDblClick) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}
