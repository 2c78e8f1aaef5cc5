#pragma once

#include "bridge/FileEntry.h"

#include <QSet>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class ElidedLabel;
class FileSortProxy;
class FileTableModel;
class FileTableView;
class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QMimeData;
class QToolButton;
class QVBoxLayout;
class Spinner;
class UnavailablePanel;

// One shortcut of a pane's Shortcuts menu.
struct QuickLink
{
    QString title;
    QString icon;
    QString path;
};

// What a FilePane hands back to its owner. Absent optional callbacks hide the controls that
// would call them.
struct FilePaneActions
{
    std::function<void(const QString &)> onQuickLink;
    std::function<void()> onUp;
    std::function<void()> onRefresh;
    std::function<void(const QString &)> onOpen;
    std::function<void(const QString &)> onNewFolder;
    std::function<void(const FileEntry &, const QString &)> onRename;
    std::function<void(const QStringList &)> onDelete;
    // The title row's "Show in Finder": the current folder in the file browser.
    std::function<void()> onReveal;
    // The context menu's "Show in Finder": those items selected in the file browser.
    std::function<void(const QStringList &)> onRevealItems;
    QString errorActionTitle;
    std::function<void()> onErrorAction;
    std::function<void(const QString &)> onQuickLookItem;
    // The items in the pane's row order.
    std::function<void(const QStringList &)> onCopyToOther;
    std::function<void(const QStringList &)> onMoveToOther;
    std::function<QMimeData *(const FileEntry &, const QSet<QString> &)> makeDrag;
    std::function<void(const QMimeData *, const FileEntry &)> onDropOnRow;
    std::function<bool(const QMimeData *)> onDropOnPane;
};

// One folder as a sortable, filterable table with its title row, path row, filter field and
// footer. Rows, selection, path and error come from the owner; the pane keeps only the
// filter text, the sort order and its open dialogs.
class FilePane : public QWidget
{
    Q_OBJECT

public:
    enum class Side { mac, android };

    FilePane(Side side, FilePaneActions actions, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setIcon(const QString &symbol);
    void setPathText(const QString &path);
    // The rows in the panes' name order, as sortEntries leaves them.
    void setItems(const QList<FileEntry> &items);
    void setSelection(const QSet<QString> &paths);
    void setLoading(bool loading);
    void setErrorText(const std::optional<QString> &error);
    void setCanGoUp(bool canGoUp);
    void setQuickLinks(const QList<QuickLink> &links);
    void setHeaderAccessory(QWidget *accessory);

    Side side() const { return m_side; }
    QString title() const;
    QSet<QString> selection() const { return m_selection; }
    QString footerText() const;
    // The rows in the order shown.
    QStringList shownNames() const;
    QStringList shownSizes() const;
    FileTableView *table() const { return m_table; }
    QLineEdit *filterField() const { return m_filter; }
    // The overlay's title when one is shown ("Can't open folder", "Empty folder", "No matches").
    std::optional<QString> overlayTitle() const;
    UnavailablePanel *overlay() const { return m_overlay; }
    QToolButton *revealButton() const { return m_reveal; }
    QToolButton *upButton() const { return m_up; }
    // What a right click on this row (or on no row) acts on: the selection when the row is in
    // it or none was clicked, in the pane's row order; else the clicked row alone.
    QStringList selectedOrClicked(const QModelIndex &clicked) const;
    // The context menu for these paths, as it would open on a right click.
    QMenu *buildContextMenu(const QStringList &paths);
    void sortBy(int column, Qt::SortOrder order);
    void openNewFolderDialog();

signals:
    // The user changed the selection in the table.
    void selectionEdited(const QSet<QString> &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *iconButton(const QString &symbol, const QString &help);
    void applySelectionToView();
    void viewSelectionChanged();
    // Puts the rows in the table, or none while the folder cannot be read.
    void showRows();
    void refreshOverlay();
    void fitColumnWidths();
    // The parent folder, when there is one to go to.
    void goUp();
    void refreshFooter();
    void placeOverlay();
    std::optional<FileEntry> entryForPath(const QString &path) const;
    void openSelection();
    void previewSelection();
    void confirmDelete(const QStringList &paths);
    void openRenameDialog(const FileEntry &entry);
    void showContextMenu(const QPoint &pos);

    Side m_side;
    FilePaneActions m_actions;
    QList<FileEntry> m_items;
    QSet<QString> m_selection;
    QString m_pathText;
    bool m_loading = false;
    std::optional<QString> m_error;
    bool m_syncing = false;

    QLabel *m_titleIcon;
    QLabel *m_title;
    Spinner *m_spinner;
    QToolButton *m_reveal = nullptr;
    QVBoxLayout *m_accessorySlot;
    QToolButton *m_up;
    QToolButton *m_shortcuts;
    QMenu *m_shortcutMenu;
    ElidedLabel *m_path;
    QLineEdit *m_filter;
    QAction *m_clearFilter;
    FileTableModel *m_model;
    FileSortProxy *m_proxy;
    FileTableView *m_table;
    UnavailablePanel *m_overlay;
    QLabel *m_footer;
};
