#include "ErrorBox.h"
#include "AppState.h"
#include "Prompter.h"

namespace ErrorBox {

QString text(int number, const QString &description, const QString &procedure, const QString &module) {
    QString t = QStringLiteral("Error %1 (%2) in procedure %3").arg(number).arg(description, procedure);
    if (!module.isEmpty())
        t += QStringLiteral(" of ") + module;
    return t;
}

void report(int number, const QString &description, const QString &procedure, const QString &module) {
    prompter().message(Prompter::Icon::None, AppState::title(), text(number, description, procedure, module));
}

void report(const AppError &e, const QString &procedure, const QString &module) {
    report(e.number, e.description, e.procedure.isEmpty() ? procedure : e.procedure,
           e.module.isEmpty() ? module : e.module);
}

} // namespace ErrorBox
