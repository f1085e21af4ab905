#pragma once
#include <QRect>
#include <QString>

// A short notice shown by the companion program without taking the focus; returns at once.
// Centred on about (screen coordinates), else on the window that has the focus.
void ShowFloatMsg(const QString &message, int time = 500, const QRect &about = {});
// Forgets whether the notice program was found (a new run).
void ResetFloatMsg();
