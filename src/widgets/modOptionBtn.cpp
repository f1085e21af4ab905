#include "modOptionBtn.h"
#include "ErrorBox.h"
#include <QAbstractButton>

int GetSelOptionIdx(const QList<QAbstractButton *> &options) {
    for (int i = 0; i < options.size(); ++i) {
        if (!options[i]) {
            ErrorBox::report(91, QStringLiteral("개체 변수 또는 With 블록 변수가 설정되어 있지 않습니다."),
                             QStringLiteral("GetSelOptionIdx"), QStringLiteral("Module modOptionBtn"));
            return 0;
        }
        if (options[i]->isChecked())
            return i;
    }
    return 0;
}
