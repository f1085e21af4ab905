#pragma once
#include <QList>

class QAbstractButton;

// An array of option buttons in index order: the index of the first one selected, 0 when
// none is (and after reporting a button that is missing from the array).
int GetSelOptionIdx(const QList<QAbstractButton *> &options);
