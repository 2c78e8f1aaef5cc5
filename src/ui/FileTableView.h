#pragma once

#include <QTableView>

class QMimeData;
class RememberedSizeDelegate;

// The table of a FilePane: hands keys, drags and drops to the pane as signals and hooks,
// leaving the decisions to the pane.
class FileTableView : public QTableView
{
    Q_OBJECT

public:
    explicit FileTableView(QWidget *parent = nullptr);

    // The width a column needs for its header and the rows in view.
    int contentWidth(int column) const;

    // What a drag of the row at this proxy index carries; null refuses the drag.
    std::function<QMimeData *(const QModelIndex &)> makeDrag;
    // A drop on a row (valid index) or on the empty area (invalid index); returns whether
    // it was taken.
    std::function<bool(const QMimeData *, const QModelIndex &)> drop;

signals:
    void openRequested();
    // F2: rename the selected row.
    void renameRequested();
    // Backspace or Alt+Up: the parent folder.
    void upRequested();
    void previewRequested();
    void deleteRequested();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    RememberedSizeDelegate *m_delegate;
};
