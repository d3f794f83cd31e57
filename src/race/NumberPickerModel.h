#pragma once

#include <QAbstractListModel>
#include <QList>
#include <functional>

// The entries of a picker of thousands of numbers (the 登番 picker): how many there are is known when
// the window opens, the numbers themselves are read when the list is first looked at (shown, searched
// or read), so that opening a window does not grow with them. The box reads its first entry as it
// takes the list, so the first few are read apart from the rest. Entries beyond the numbers read
// (the table shrank meanwhile) read as empty.
class NumberPickerModel : public QAbstractListModel {
public:
    // Gives the first n numbers (fewer when there are not as many).
    using Loader = std::function<QList<int>(int n)>;
    static constexpr int FirstRows = 64;

    NumberPickerModel(int count, Loader load, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int m_count;
    Loader m_load;
    mutable QList<int> m_numbers;
    mutable bool m_complete = false;
};
