#pragma once
#include <QString>

// The standard message boxes; an empty title means the application title.
void MsgInfo(const QString &message, const QString &title = {});
void MsgWarn(const QString &message, const QString &title = {});
// 6 (Yes) or 7 (No); with yesIsDefault false, Enter answers No.
int MsgAsk(const QString &message, const QString &title = {}, bool yesIsDefault = true);
// Warning box "오류" with the message and the error's number and description.
void ShowErrMsg(const QString &message, int errNumber, const QString &errDescription);

inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;
