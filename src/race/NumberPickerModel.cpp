#include "race/NumberPickerModel.h"

#include "core/Errors.h"

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
    if (!m_numbers) {
        // Read once; a database that can no longer be read leaves the entries empty rather than
        // failing inside the list.
        try {
            m_numbers = m_load();
        } catch (const KorvaneError&) {
            m_numbers = QList<int>();
        }
    }
    if (index.row() >= m_numbers->size())
        return QString();
    return QString::number(m_numbers->at(index.row()));
}
