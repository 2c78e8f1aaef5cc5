#pragma once

#include <QSortFilterProxyModel>

// Filters a FileTableModel by a name fragment and sorts it by the chosen column with
// folders always above files, whichever column and direction. The model's rows come in the
// panes' name order (sortEntries), so a row's position stands for its name: sorting by name,
// and breaking ties in the other columns, compares positions instead of collating names again.
// The comparisons read the model's entries directly: a sort of 100,000 rows makes about two
// million of them, and each would otherwise build several QVariants.
class FileTableModel;

class FileSortProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FileSortProxy(QObject *parent = nullptr);

    // Spaces and tabs at both ends are ignored; an empty fragment shows every row.
    void setSearch(const QString &search);
    QString search() const { return m_search; }
    bool isFiltering() const { return !m_trimmed.isEmpty(); }

    // The source must be a FileTableModel.
    void setSourceModel(QAbstractItemModel *model) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    const FileTableModel *m_files = nullptr;
    QString m_search;
    QString m_trimmed;
};
