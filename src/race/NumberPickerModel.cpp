#include "race/NumberPickerModel.h"

#include "core/Errors.h"

#include <algorithm>

NumberPickerModel::NumberPickerModel(int count, Loader load, QObject* parent)
    : QAbstractListModel(parent)
    , m_count(count)
    , m_load(std::move(load)) {}

int NumberPickerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant NumberPickerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (index.row() >= m_numbers.size() && !m_complete) {
        const int wanted = index.row() < FirstRows ? std::min(FirstRows, m_count) : m_count;
        // A database that can no longer be read leaves the entries empty rather than failing inside
        // the list.
        try {
            m_numbers = m_load(wanted);
        } catch (const KorvaneError&) {
            m_numbers.clear();
            m_complete = true;
        }
        if (wanted >= m_count || m_numbers.size() < wanted)
            m_complete = true;
    }
    if (index.row() >= m_numbers.size())
        return QString();
    return QString::number(m_numbers.at(index.row()));
}
