#pragma once
#include "ImportPlan.h"
#include <QAbstractTableModel>

// The preview grid over a plan: one line per row of the file, what happens to it and why.
class PlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setPlan(const ImportPlan::Plan *plan);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ImportPlan::Plan *m_plan = nullptr;
};
