#pragma once

#include <QAbstractListModel>
#include <QList>
#include <functional>
#include <optional>

// The entries of a picker of thousands of numbers (the 登番 picker): how many there are is known when
// the window opens, the numbers themselves are read when the list is first looked at (shown, searched
// or read), so that opening a window does not grow with them. Entries beyond the numbers read (the
// table shrank meanwhile) read as empty.
class NumberPickerModel : public QAbstractListModel {
public:
    using Loader = std::function<QList<int>()>;

    NumberPickerModel(int count, Loader load, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int m_count;
    Loader m_load;
    mutable std::optional<QList<int>> m_numbers;
};
