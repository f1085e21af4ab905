#include "modExcel_sp.h"
#include "AppPaths.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "Prompter.h"
#include "Shell.h"
#include "Spread.h"
#include <QApplication>
#include <QDir>
#include <exception>

namespace modExcel_sp {
namespace {
// Every step reports its own failure and the export goes on, so that what the first steps
// changed on the grid is always put back by the last ones.
template <typename F> void step(F &&work) {
    try {
        work();
    } catch (const AppError &e) {
        ErrorBox::report(e.number, e.description, QStringLiteral("ExportToExcelFile"),
                         QStringLiteral("Module modExcel"));
    } catch (const std::exception &e) {
        ErrorBox::report(5, QString::fromLocal8Bit(e.what()), QStringLiteral("ExportToExcelFile"),
                         QStringLiteral("Module modExcel"));
    }
}
} // namespace

QString ExportToExcelFile(Spread *grid, const QString &sheetName, bool, bool noQuestion, bool wholeBook,
                          bool openAfterwards, bool headerRows, const QString &extension) {
    if (!grid || grid->dataRowCnt() == 0) {
        MsgInfo(QStringLiteral("엑셀로 보낼 데이터가 없습니다.\r\n자료 조회 후 엑셀로 보내세요."));
        return {};
    }
    if (!noQuestion && MsgAsk(QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"), QString(), true) != Prompter::Yes)
        return {};

    QString result;
    const bool redraw = grid->redraw();
    int inserted = 0;
    bool unprotected = false, busy = false;
    XlsResult exported;
    exported.error = QStringLiteral("내보내기를 끝내지 못했습니다");
    QString file, log;
    step([&] { grid->setRedraw(false); });
    if (headerRows)
        step([&] {
            const int h = grid->colHeaderRows();
            grid->setMaxRows(grid->maxRows() + h);
            for (int k = 1; k <= h; ++k) {
                grid->insertRows(k, 1);
                ++inserted;
                for (int c = 1; c <= grid->maxCols(); ++c) {
                    grid->setCellType(c, k, CellType::StaticText);
                    grid->setTypeHAlign(c, k, HAlign::Center);
                    grid->setTypeVAlign(c, k, VAlign::Center);
                    grid->setFontBold(c, k, true);
                    grid->setText(c, k, grid->headerText(c, k));
                }
            }
        });
    step([&] {
        const QString folder = AppPaths::inApp(QStringLiteral("ExpExcel"));
        if (!QDir().mkpath(folder))
            throw AppError(76, QStringLiteral("경로를 찾을 수 없습니다: ") + folder);
        const QString base =
            folder + QStringLiteral("/Exp") + appClock().now().toString(QStringLiteral("yyMMdd_HHmmss"));
        file = base + extension;
        log = base + QStringLiteral("LOG.TXT");
    });
    step([&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy = true;
    });
    step([&] {
        if (grid->protect()) {
            grid->setProtect(false);
            unprotected = true;
        }
    });
    step([&] {
        if (!file.isEmpty())
            exported = wholeBook ? grid->exportExcelBook(file, log, inserted)
                                 : grid->exportToExcel(file, sheetName, log, inserted);
    });
    step([&] {
        if (unprotected)
            grid->setProtect(true);
    });
    step([&] {
        if (busy)
            QApplication::restoreOverrideCursor();
    });
    step([&] {
        if (!exported.ok) {
            MsgWarn(QStringLiteral("엑셀로 내보내기에 실패했습니다.\r\n") + exported.error);
            return;
        }
        result = file;
        // Without a program for the file nothing would happen on screen: say where it is.
        if (openAfterwards && !shell().open(QDir::toNativeSeparators(file)))
            MsgInfo(QStringLiteral("엑셀 파일을 열 프로그램을 찾지 못했습니다.\r\n파일은 저장되었습니다: ") +
                    QDir::toNativeSeparators(file));
    });
    if (inserted > 0)
        step([&] {
            grid->deleteRows(1, inserted);
            grid->setMaxRows(grid->maxRows() - inserted);
        });
    step([&] { grid->setRedraw(redraw); });
    return result;
}

} // namespace modExcel_sp
