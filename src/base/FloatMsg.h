#pragma once
#include <QString>

// A short notice shown by the companion program without taking the focus; returns at once.
void ShowFloatMsg(const QString &message, int time = 500);
// Forgets whether the notice program was found (a new run).
void ResetFloatMsg();
