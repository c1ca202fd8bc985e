#pragma once

// The items of the pivot check list: one per pivot, newest first, each with its price
// text, a check mark and the quote it stands for. Texts are formatted when shown, so a
// list of hundreds of thousands of pivots fills at once.

#include "reports.h"

#include <QAbstractListModel>

#include <vector>

namespace korvala {

class SwingListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void Assign(std::vector<SwingItem> items);
    void Clear() { Assign({}); }

    int Count() const { return static_cast<int>(m_items.size()); }
    const std::vector<SwingItem> &Items() const { return m_items; }
    bool Checked(int k) const { return m_items.at(static_cast<std::size_t>(k)).Checked; }
    void SetChecked(int k, bool checked);
    // The item's object: the quote of the pivot.
    TFPoint *Quote(int k) const { return m_items.at(static_cast<std::size_t>(k)).Quote; }
    QString Text(int k) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The user changed the check mark of an item.
    void CheckToggled(int k);

private:
    std::vector<SwingItem> m_items;
};

} // namespace korvala
