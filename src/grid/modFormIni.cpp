#include "modFormIni.h"
#include "ErrorBox.h"
#include "FormLayoutFile.h"
#include "Spread.h"
#include "VbUnits.h"
#include <QFile>
#include <QMdiSubWindow>

namespace modFormIni {

namespace {
const QString kModule = QStringLiteral("Module modFormIni");
// Visual Basic's number for a file that cannot be read or written.
constexpr int kFileAccessError = 75;

void reportWriteFailure(const QString &procedure, const QString &path) {
    ErrorBox::report(kFileAccessError, QStringLiteral("Path/File access error: ") + path, procedure, kModule);
}

int px(double twips) { return VbUnits::twipsToPx(int(std::lround(twips))); }
} // namespace

QWidget *frameOf(QWidget *window) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        return sub;
    return window;
}

void LoadFormIni(QWidget *window, bool positionOnly, const QString &fileSuffix) {
    const QString path = FormLayoutFile::path(window->objectName() + fileSuffix);
    if (!QFile::exists(path))
        return;
    QWidget *frame = frameOf(window);
    const FormLayoutFile::FormRect r = FormLayoutFile::readFormRect(path, positionOnly);
    if (r.left)
        frame->move(px(*r.left), frame->y());
    if (r.top)
        frame->move(frame->x(), px(*r.top));
    if (r.width)
        frame->resize(px(*r.width), frame->height());
    if (r.height)
        frame->resize(frame->width(), px(*r.height));
    if (r.state) {
        const Qt::WindowStates wanted = *r.state == 2   ? Qt::WindowMaximized
                                        : *r.state == 1 ? Qt::WindowMinimized
                                                        : Qt::WindowNoState;
        const Qt::WindowStates current = frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized);
        if (wanted != current)
            frame->setWindowState((frame->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized)) | wanted);
    }
    for (Spread *grid : window->findChildren<Spread *>())
        LoadSpreadIni(grid, path, grid->arrayIndex());
}

void LoadSpreadIni(Spread *grid, const QString &filePath, int arrayIndex) {
    const QString base = FormLayoutFile::gridBase(grid->objectName(), arrayIndex);
    const FormLayoutFile::GridLayout g = FormLayoutFile::readGridLayout(filePath, base, grid->maxCols());
    for (const auto &[col, width] : g.colWidths)
        grid->setColWidth(col, width);
    if (g.fontSize) {
        grid->setFontSize(-1, -1, *g.fontSize);
        grid->setFontSize(-1, 0, *g.fontSize);
    }
    if (g.rowHeight)
        grid->setDataRowHeight(*g.rowHeight);
    if (g.fontSize)
        grid->growRowsToFont();
}

bool SaveFormIni(QWidget *window, const QString &fileSuffix) {
    QWidget *frame = frameOf(window);
    if (!frame->isVisible() || frame->isMinimized())
        return true;
    std::optional<FormLayoutFile::FormRect> rect;
    // A maximised window keeps the normal rectangle stored before.
    if (!frame->isMaximized())
        rect = FormLayoutFile::FormRect{double(VbUnits::pxToTwips(frame->x())),
                                        double(VbUnits::pxToTwips(frame->y())),
                                        double(VbUnits::pxToTwips(frame->width())),
                                        double(VbUnits::pxToTwips(frame->height())),
                                        {}};
    return FormLayoutFile::writeFormRect(FormLayoutFile::path(window->objectName() + fileSuffix),
                                         frame->isMaximized() ? 2 : 0, rect);
}

bool SaveSpreadColWidth(QWidget *window, Spread *grid, int col, const QString &fileSuffix, int arrayIndex) {
    if (!grid->isVisible())
        return true;
    return FormLayoutFile::writeColWidth(FormLayoutFile::path(window->objectName() + fileSuffix),
                                         FormLayoutFile::gridBase(grid->objectName(), arrayIndex), col,
                                         grid->colWidth(col));
}

void SaveSpreadIni_Gn(QWidget *window, Spread *grid, const QString &key, const QString &value,
                      const QString &fileSuffix) {
    const QString path = FormLayoutFile::path(window->objectName() + fileSuffix);
    if (!FormLayoutFile::writeGeneral(path, FormLayoutFile::gridBase(grid->objectName(), grid->arrayIndex()), key,
                                      value))
        reportWriteFailure(QStringLiteral("SaveSpreadIni_Gn"), path);
}

void DelFormIni(const QString &fileName) {
    if (!FormLayoutFile::remove(fileName))
        reportWriteFailure(QStringLiteral("DelFormIni"), FormLayoutFile::path(fileName));
}

} // namespace modFormIni
