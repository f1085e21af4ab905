#include "PlanModel.h"
#include <QBrush>
#include <QColor>

namespace {
enum Col { Line, Kind, Code, Id, Model, What, Count };
} // namespace

void PlanModel::setPlan(const ImportPlan::Plan *plan) {
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

int PlanModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_plan ? 0 : int(m_plan->rows.size());
}

int PlanModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count; }

QVariant PlanModel::data(const QModelIndex &index, int role) const {
    if (!m_plan || !index.isValid())
        return {};
    const ImportPlan::Row &r = m_plan->rows[size_t(index.row())];
    if (role == Qt::ForegroundRole && index.column() == Kind) {
        switch (r.kind) {
        case ImportPlan::Kind::Add: return QBrush(QColor(0, 110, 0));
        case ImportPlan::Kind::Change: return QBrush(QColor(0, 60, 170));
        case ImportPlan::Kind::Error: return QBrush(QColor(190, 0, 0));
        case ImportPlan::Kind::Same: return QBrush(QColor(110, 110, 110));
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Line: return r.line;
    case Kind: return ImportPlan::kindLabel(r.kind);
    case Code: return r.kind == ImportPlan::Kind::Add && r.fields[0].isEmpty() ? QStringLiteral("(자동)") : r.fields[0];
    case Id: return r.fields[1];
    case Model: return r.fields[6];
    case What: return r.kind == ImportPlan::Kind::Error ? r.reason : r.changed.join(QStringLiteral(", "));
    }
    return {};
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QString kHeaders[] = {QStringLiteral("행"),       QStringLiteral("구분"),
                                       QStringLiteral("관리번호"), QStringLiteral("ID"),
                                       QStringLiteral("모델명"),   QStringLiteral("바뀌는 항목 / 오류")};
    return section >= 0 && section < Count ? kHeaders[section] : QVariant();
}
