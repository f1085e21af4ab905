#include "Messages.h"
#include "AppState.h"
#include "Prompter.h"

namespace {
QString titleOr(const QString &title) { return title.isEmpty() ? AppState::title() : title; }
} // namespace

void MsgInfo(const QString &message, const QString &title) {
    prompter().message(Prompter::Icon::Information, titleOr(title), message);
}

void MsgWarn(const QString &message, const QString &title) {
    prompter().message(Prompter::Icon::Warning, titleOr(title), message);
}

int MsgAsk(const QString &message, const QString &title, bool yesIsDefault) {
    return prompter().question(titleOr(title), message, yesIsDefault);
}

void ShowErrMsg(const QString &message, int errNumber, const QString &errDescription) {
    prompter().message(Prompter::Icon::Warning, QStringLiteral("오류"),
                       message +
                           QStringLiteral("\r\n오류번호 : %1\r\n오류내용 : %2").arg(errNumber).arg(errDescription));
}
