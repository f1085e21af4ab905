#pragma once
#include <QDialog>
#include <QImage>

class QLabel;

// A handset picture shown large: at its natural size, centred, or stretched to the window
// when it is larger than the window both ways. Esc or a double-click closes it.
class FrmImageZoom : public QDialog {
    Q_OBJECT
public:
    explicit FrmImageZoom(QWidget *parent = nullptr);
    void setPicture(const QImage &picture);
    // The handset picture of the ID (HandsetPictures); false, showing nothing, when it has
    // none that can be read.
    bool setHandsetPicture(const QString &id);

    QLabel *picBig = nullptr;
    QLabel *Image1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void layoutPicture();
};
