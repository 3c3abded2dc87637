#include "manager/NoteListModel.h"

NoteListModel::NoteListModel(QObject* parent) : QAbstractListModel(parent) {}

void NoteListModel::setNoteCount(qsizetype count)
{
    beginResetModel();
    m_count = static_cast<int>(count);
    endResetModel();
}

int NoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant NoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return tr("Note %1").arg(index.row() + 1);
    case Qt::DecorationRole:
        return m_icon;
    default:
        return {};
    }
}
