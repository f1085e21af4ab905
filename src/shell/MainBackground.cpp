#include "MainBackground.h"
#include "AppPaths.h"
#include "AppState.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "Prompter.h"
#include "Settings.h"
#include "VbUnits.h"
#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace {
const QString kSection = QStringLiteral("메인배경");
QString remembered; // folder of the last chosen logo, for this run only

QString bg(const QString &key, const QString &def) {
    return Settings::GetSetting(AppState::sharedApp(), kSection, key, def);
}
void setBg(const QString &key, const QString &value) {
    Settings::SaveSetting(AppState::sharedApp(), kSection, key, value);
}
} // namespace

QString MainBackground::defaultLogo() { return AppPaths::inApp(QStringLiteral("Image/mainbg.jpg")); }
QString MainBackground::storedLogo() { return bg(QStringLiteral("로고파일경로"), defaultLogo()); }

void MainBackground::load() {
    m_color = bg(QStringLiteral("배경색상"), QString::number(kDefaultColor)).toInt();
    m_loaded = false;
    const QString path = storedLogo();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QImage logo(path);
    if (logo.isNull()) {
        ErrorBox::report(481, QStringLiteral("잘못된 그림입니다."), QStringLiteral("LoadMainBG"),
                         QStringLiteral("Module modCompileEnv"));
        return;
    }
    m_logo = logo;
    m_loaded = true;
    m_mode = bg(QStringLiteral("로고배치형태"), QStringLiteral("0")).toInt();
    if (m_mode < 0 || m_mode > 1)
        m_mode = 0;
}

void MainBackground::release() {
    m_logo = QImage();
    m_loaded = false;
}

QImage MainBackground::compose(const QSize &inner) const {
    QImage out(inner.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(VbUnits::toColor(m_color));
    if (!m_loaded)
        return out;
    QPainter p(&out);
    if (m_mode == 1) {
        p.drawImage((inner.width() - m_logo.width()) / 2, (inner.height() - m_logo.height()) / 2, m_logo);
    } else {
        for (int x = 0; x < inner.width(); x += m_logo.width())
            for (int y = 0; y < inner.height(); y += m_logo.height())
                p.drawImage(x, y, m_logo);
    }
    return out;
}

void MainBackground::setMode(int mode) {
    m_mode = mode;
    if (!visible || visible())
        requestRedraw();
}

void MainBackground::requestRedraw() const {
    if (redraw)
        redraw();
}

QString MainBackground::chooseFile(const QString &title, const QString &initial) {
    const QString dir = (!remembered.isEmpty() && QDir(remembered).exists()) ? remembered : AppPaths::appFolder();
    const QString chosen = prompter().openFileName(title, dir + QLatin1Char('/') + QFileInfo(initial).fileName(),
                                                   QStringLiteral("Pictures (*.bmp *.jpg *.gif)"));
    if (!chosen.isEmpty())
        remembered = QFileInfo(chosen).absolutePath();
    return chosen;
}

void MainBackground::reloadAndRedraw() {
    release();
    load();
    requestRedraw();
}

void MainBackground::colourNote() {
    if (m_mode == 0)
        MsgInfo(QStringLiteral("로고가 타일형으로 배치되어 있으면 배경색이 적용되지 않습니다.\r\n\r\n가운데 배치 또는 "
                               "로고를 없앨 경우만 적용됩니다."));
}

void MainBackground::command(int number) {
    switch (number) {
    case 1:
    case 2: {
        const int mode = number - 1;
        if (m_mode != mode) {
            setMode(mode);
            setBg(QStringLiteral("로고배치형태"), QString::number(mode));
        }
        break;
    }
    case 3: {
        const QString file = chooseFile(QStringLiteral("메인 Logo이미지 선택"), storedLogo());
        if (!file.isEmpty()) {
            setBg(QStringLiteral("로고파일경로"), file);
            reloadAndRedraw();
        }
        break;
    }
    case 4:
        if (!storedLogo().isEmpty()) {
            setBg(QStringLiteral("로고파일경로"), QString());
            reloadAndRedraw();
        }
        break;
    case 5:
        if (storedLogo() != defaultLogo()) {
            setBg(QStringLiteral("로고파일경로"), defaultLogo());
            reloadAndRedraw();
        }
        break;
    case 6: {
        const int stored = bg(QStringLiteral("배경색상"), QString::number(kDefaultColor)).toInt();
        const auto c = prompter().color(QStringLiteral("배경색상 선택"), VbUnits::toColor(stored));
        if (c) {
            m_color = VbUnits::fromColor(*c);
            setBg(QStringLiteral("배경색상"), QString::number(m_color));
            colourNote();
            requestRedraw();
        }
        break;
    }
    case 7:
        if (bg(QStringLiteral("배경색상"), QString::number(kDefaultColor)).toInt() != kDefaultColor) {
            setBg(QStringLiteral("배경색상"), QString::number(kDefaultColor));
            colourNote();
            m_color = kDefaultColor;
            requestRedraw();
        }
        break;
    default: break;
    }
}
