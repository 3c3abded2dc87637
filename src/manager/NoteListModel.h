#pragma once

#include <QAbstractListModel>
#include <QIcon>

// The manager's list: "Note 1", "Note 2", ... with one shared picture. It holds only the count,
// so a file of any number of notes lists at once.
class NoteListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit NoteListModel(QObject* parent = nullptr);

    // Lists count notes, numbered again from 1.
    void setNoteCount(qsizetype count);
    void setIcon(const QIcon& icon) { m_icon = icon; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int m_count = 0;
    QIcon m_icon;
};
