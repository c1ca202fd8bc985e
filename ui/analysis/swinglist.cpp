#include "swinglist.h"

namespace korvala {

void SwingListModel::Assign(std::vector<SwingItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void SwingListModel::SetChecked(int k, bool checked)
{
    m_items.at(static_cast<std::size_t>(k)).Checked = checked;
    const QModelIndex at = index(k);
    emit dataChanged(at, at, {Qt::CheckStateRole});
}

QString SwingListModel::Text(int k) const
{
    return QString::fromStdString(SwingItemText(*Quote(k)));
}

int SwingListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant SwingListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Text(index.row());
    case Qt::CheckStateRole:
        return Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool SwingListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= Count())
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    emit CheckToggled(index.row());
    return true;
}

Qt::ItemFlags SwingListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

} // namespace korvala
