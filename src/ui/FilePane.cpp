#include "ui/FilePane.h"

#include "model/SelectionOrder.h"
#include "ui/ColumnFit.h"
#include "ui/ElidedLabel.h"
#include "ui/FileSortProxy.h"
#include "ui/FileTableModel.h"
#include "ui/FileTableView.h"
#include "ui/Icons.h"
#include "ui/NameDialog.h"
#include "ui/Spinner.h"
#include "ui/Texts.h"
#include "ui/UnavailablePanel.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

FilePane::FilePane(Side side, FilePaneActions actions, QWidget *parent)
    : QWidget(parent), m_side(side), m_actions(std::move(actions)), m_titleIcon(new QLabel(this)),
      m_title(new QLabel(this)), m_spinner(new Spinner(14, this)), m_accessorySlot(new QVBoxLayout),
      m_shortcutMenu(new QMenu(this)), m_path(new ElidedLabel(this)), m_filter(new QLineEdit(this)),
      m_model(new FileTableModel(this)), m_proxy(new FileSortProxy(this)),
      m_table(new FileTableView(this)), m_footer(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(6);

    // Title row.
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(m_titleIcon);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    m_title->setFont(titleFont);
    m_title->setObjectName(QStringLiteral("paneTitle"));
    m_title->setTextFormat(Qt::PlainText);
    titleRow->addWidget(m_title);
    titleRow->addStretch(1);
    m_spinner->hide();
    titleRow->addWidget(m_spinner);
    QToolButton *newFolder = iconButton(QStringLiteral("folder.badge.plus"), QStringLiteral("New folder"));
    connect(newFolder, &QToolButton::clicked, this, &FilePane::openNewFolderDialog);
    titleRow->addWidget(newFolder);
    if (m_actions.onReveal) {
        m_reveal = iconButton(QStringLiteral("magnifyingglass"), QStringLiteral("Show in Finder"));
        connect(m_reveal, &QToolButton::clicked, this, [this] { m_actions.onReveal(); });
        titleRow->addWidget(m_reveal);
    }
    QToolButton *refresh = iconButton(QStringLiteral("arrow.clockwise"), QStringLiteral("Refresh"));
    connect(refresh, &QToolButton::clicked, this, [this] {
        if (m_actions.onRefresh)
            m_actions.onRefresh();
    });
    titleRow->addWidget(refresh);
    layout->addLayout(titleRow);

    // Header accessory (drive bar or storage switcher).
    m_accessorySlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_accessorySlot);

    // Path row.
    auto *pathRow = new QHBoxLayout;
    m_up = new QToolButton(this);
    m_up->setIcon(Icons::icon(QStringLiteral("chevron.up")));
    m_up->setToolTip(QStringLiteral("Go to parent folder"));
    m_up->setAccessibleName(QStringLiteral("Go to parent folder"));
    connect(m_up, &QToolButton::clicked, this, &FilePane::goUp);
    pathRow->addWidget(m_up);
    m_shortcuts = iconButton(QStringLiteral("star"), QStringLiteral("Shortcuts"));
    m_shortcuts->setMenu(m_shortcutMenu);
    m_shortcuts->setPopupMode(QToolButton::InstantPopup);
    m_shortcuts->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    pathRow->addWidget(m_shortcuts);
    m_path->setForegroundRole(QPalette::PlaceholderText);
    m_path->setObjectName(QStringLiteral("pathText"));
    pathRow->addWidget(m_path, 1);
    layout->addLayout(pathRow);

    // Filter field.
    m_filter->setPlaceholderText(QStringLiteral("Filter this folder"));
    m_filter->setAccessibleName(QStringLiteral("Filter this folder"));
    // The field's icons are buttons too: each needs a text a screen reader can say.
    QAction *filterIcon = m_filter->addAction(Icons::icon(QStringLiteral("line.3.horizontal.decrease")),
                                              QLineEdit::LeadingPosition);
    filterIcon->setText(QStringLiteral("Filter"));
    connect(filterIcon, &QAction::triggered, m_filter, qOverload<>(&QWidget::setFocus));
    m_clearFilter = m_filter->addAction(Icons::icon(QStringLiteral("xmark.circle.fill")), QLineEdit::TrailingPosition);
    m_clearFilter->setText(QStringLiteral("Clear filter"));
    m_clearFilter->setToolTip(QStringLiteral("Clear"));
    m_clearFilter->setVisible(false);
    connect(m_clearFilter, &QAction::triggered, m_filter, &QLineEdit::clear);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_clearFilter->setVisible(!text.isEmpty());
        {
            QScopedValueRollback guard(m_syncing, true);
            m_proxy->setSearch(text);
        }
        applySelectionToView();
        refreshOverlay();
        fitColumnWidths();
    });
    layout->addWidget(m_filter);

    // Table.
    layout->addWidget(divider(this));
    m_proxy->setSourceModel(m_model);
    m_table->setModel(m_proxy);
    m_table->sortByColumn(FileTableModel::NameColumn, Qt::AscendingOrder);
    // Name takes what Size and Modified leave (fitColumns shares the width out).
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(FileTableModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(FileTableModel::SizeColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(FileTableModel::ModifiedColumn, QHeaderView::Fixed);
    header->setMinimumSectionSize(60);
    header->resizeSection(FileTableModel::SizeColumn, 80);
    header->resizeSection(FileTableModel::ModifiedColumn, 130);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &FilePane::showContextMenu);
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && m_actions.onOpen)
            m_actions.onOpen(index.data(FileTableModel::PathRole).toString());
    });
    connect(m_table, &FileTableView::openRequested, this, &FilePane::openSelection);
    connect(m_table, &FileTableView::renameRequested, this, [this] {
        if (m_selection.size() != 1 || !m_actions.onRename)
            return;
        if (const std::optional<FileEntry> entry = entryForPath(*m_selection.begin()))
            openRenameDialog(*entry);
    });
    connect(m_table, &FileTableView::upRequested, this, &FilePane::goUp);
    connect(m_table, &FileTableView::previewRequested, this, &FilePane::previewSelection);
    connect(m_table, &FileTableView::deleteRequested, this, [this] {
        if (m_actions.onDelete && !m_selection.isEmpty())
            confirmDelete(QStringList(m_selection.begin(), m_selection.end()));
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FilePane::viewSelectionChanged);
    m_table->makeDrag = [this](const QModelIndex &index) -> QMimeData * {
        if (!m_actions.makeDrag)
            return nullptr;
        return m_actions.makeDrag(index.data(FileTableModel::EntryRole).value<FileEntry>(), m_selection);
    };
    m_table->drop = [this](const QMimeData *data, const QModelIndex &index) {
        if (index.isValid()) {
            if (!m_actions.onDropOnRow)
                return false;
            m_actions.onDropOnRow(data, index.data(FileTableModel::EntryRole).value<FileEntry>());
            return true;
        }
        return m_actions.onDropOnPane && m_actions.onDropOnPane(data);
    };
    layout->addWidget(m_table, 1);

    m_overlay = new UnavailablePanel(m_table->viewport());
    m_overlay->setAction(QString());
    connect(m_overlay, &UnavailablePanel::actionTriggered, this, [this] {
        if (m_actions.onErrorAction)
            m_actions.onErrorAction();
    });
    m_table->viewport()->installEventFilter(this);

    // Footer.
    layout->addWidget(divider(this));
    m_footer->setForegroundRole(QPalette::PlaceholderText);
    m_footer->setObjectName(QStringLiteral("footer"));
    m_footer->setTextFormat(Qt::PlainText);
    layout->addWidget(m_footer);

    refreshOverlay();
    refreshFooter();
}

QToolButton *FilePane::iconButton(const QString &symbol, const QString &help)
{
    auto *button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setIcon(Icons::icon(symbol));
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

void FilePane::setTitle(const QString &title)
{
    m_title->setText(title);
}

QString FilePane::title() const
{
    return m_title->text();
}

void FilePane::setIcon(const QString &symbol)
{
    m_titleIcon->setPixmap(Icons::icon(symbol).pixmap(18, 18));
}

void FilePane::setPathText(const QString &path)
{
    if (path == m_pathText)
        return;
    m_pathText = path;
    m_path->setFullText(path);
    m_filter->clear();
}

void FilePane::setItems(const QList<FileEntry> &items)
{
    m_items = items;
    showRows();
}

void FilePane::showRows()
{
    {
        QScopedValueRollback guard(m_syncing, true);
        // A folder that cannot be read shows its reason alone, not what it held before.
        m_model->setItems(m_error ? QList<FileEntry>() : m_items);
    }
    applySelectionToView();
    refreshOverlay();
    fitColumnWidths();
}

void FilePane::setSelection(const QSet<QString> &paths)
{
    if (paths == m_selection)
        return;
    m_selection = paths;
    applySelectionToView();
}

void FilePane::setLoading(bool loading)
{
    m_loading = loading;
    m_spinner->setVisible(loading);
    refreshOverlay();
}

void FilePane::setErrorText(const std::optional<QString> &error)
{
    const bool rowsChange = error.has_value() != m_error.has_value();
    m_error = error;
    if (rowsChange)
        showRows();
    else
        refreshOverlay();
}

void FilePane::setCanGoUp(bool canGoUp)
{
    m_up->setEnabled(canGoUp);
}

void FilePane::setQuickLinks(const QList<QuickLink> &links)
{
    m_shortcutMenu->clear();
    for (const QuickLink &link : links) {
        QAction *action = m_shortcutMenu->addAction(Icons::icon(link.icon), link.title);
        const QString path = link.path;
        connect(action, &QAction::triggered, this, [this, path] {
            if (m_actions.onQuickLink)
                m_actions.onQuickLink(path);
        });
    }
}

void FilePane::setHeaderAccessory(QWidget *accessory)
{
    m_accessorySlot->addWidget(accessory);
}

QString FilePane::footerText() const
{
    return m_footer->text();
}

QStringList FilePane::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        names << m_proxy->index(row, FileTableModel::NameColumn).data().toString();
    return names;
}

QStringList FilePane::shownSizes() const
{
    QStringList sizes;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        sizes << m_proxy->index(row, FileTableModel::SizeColumn).data().toString();
    return sizes;
}

std::optional<QString> FilePane::overlayTitle() const
{
    if (m_overlay->isHidden())
        return std::nullopt;
    return m_overlay->title();
}

void FilePane::sortBy(int column, Qt::SortOrder order)
{
    m_table->sortByColumn(column, order);
}

void FilePane::applySelectionToView()
{
    QScopedValueRollback guard(m_syncing, true);
    // Nothing selected (the usual case after a reload) needs no walk over every row.
    if (m_selection.isEmpty()) {
        m_table->selectionModel()->clearSelection();
        refreshFooter();
        return;
    }
    QItemSelection selection;
    const int last = m_proxy->columnCount() - 1;
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex index = m_proxy->index(row, 0);
        if (m_selection.contains(index.data(FileTableModel::PathRole).toString()))
            selection.select(index, m_proxy->index(row, last));
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    refreshFooter();
}

void FilePane::viewSelectionChanged()
{
    if (m_syncing)
        return;
    QSet<QString> paths;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        paths.insert(index.data(FileTableModel::PathRole).toString());
    if (paths == m_selection)
        return;
    m_selection = paths;
    refreshFooter();
    emit selectionEdited(m_selection);
}

void FilePane::refreshFooter()
{
    if (m_error)
        m_footer->clear();
    else
        m_footer->setText(Texts::footer(m_proxy->rowCount(), m_model->rowCount(), m_selection.size()));
}

void FilePane::refreshOverlay()
{
    if (m_error) {
        m_overlay->setContent(QStringLiteral("exclamationmark.triangle"), QStringLiteral("Can't open folder"), *m_error);
        m_overlay->setAction(m_actions.onErrorAction ? m_actions.errorActionTitle : QString());
        m_overlay->setDescriptionSelectable(true);
        m_overlay->show();
    } else if (!m_loading && m_proxy->rowCount() == 0) {
        if (m_proxy->search().isEmpty())
            m_overlay->setContent(QStringLiteral("tray"), QStringLiteral("Empty folder"), QString());
        else
            m_overlay->setContent(QStringLiteral("magnifyingglass"), QStringLiteral("No matches"), QString());
        m_overlay->setAction(QString());
        m_overlay->show();
    } else {
        m_overlay->hide();
    }
    placeOverlay();
    refreshFooter();
}

void FilePane::placeOverlay()
{
    m_overlay->setGeometry(m_table->viewport()->rect());
}

bool FilePane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize) {
        placeOverlay();
        fitColumnWidths();
    }
    return QWidget::eventFilter(watched, event);
}

void FilePane::fitColumnWidths()
{
    QHeaderView *header = m_table->horizontalHeader();
    auto need = [this](int column, int low, int high) { return std::clamp(m_table->contentWidth(column), low, high); };
    const int nameNeed = m_table->contentWidth(FileTableModel::NameColumn);
    const int sizeNeed = need(FileTableModel::SizeColumn, 60, 120);
    const int modifiedNeed = need(FileTableModel::ModifiedColumn, 100, 160);
    const ColumnWidths widths = fitColumns(m_table->viewport()->width(), nameNeed, {sizeNeed, std::max(80, sizeNeed)},
                                           {modifiedNeed, std::max(130, modifiedNeed)});
    header->resizeSection(FileTableModel::SizeColumn, widths.size);
    header->resizeSection(FileTableModel::ModifiedColumn, widths.modified);
}

void FilePane::goUp()
{
    if (m_up->isEnabled() && m_actions.onUp)
        m_actions.onUp();
}

std::optional<FileEntry> FilePane::entryForPath(const QString &path) const
{
    for (const FileEntry &entry : m_model->items())
        if (entry.path == path)
            return entry;
    return std::nullopt;
}

void FilePane::openSelection()
{
    if (m_selection.isEmpty() || !m_actions.onOpen)
        return;
    m_actions.onOpen(*m_selection.begin());
}

void FilePane::previewSelection()
{
    if (m_selection.size() == 1 && m_actions.onQuickLookItem)
        m_actions.onQuickLookItem(*m_selection.begin());
}

void FilePane::openNewFolderDialog()
{
    auto *dialog = new NameDialog(QStringLiteral("New Folder"), QStringLiteral("Folder name"),
                                  QStringLiteral("Create"), QString(), this);
    dialog->setObjectName(QStringLiteral("newFolderDialog"));
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const QString name = dialog->trimmedText();
        if (!name.isEmpty() && m_actions.onNewFolder)
            m_actions.onNewFolder(name);
    });
    dialog->open();
}

void FilePane::openRenameDialog(const FileEntry &entry)
{
    auto *dialog = new NameDialog(QStringLiteral("Rename"), QStringLiteral("New name"),
                                  QStringLiteral("Rename"), entry.name, this);
    dialog->setObjectName(QStringLiteral("renameDialog"));
    connect(dialog, &QDialog::accepted, this, [this, dialog, entry] {
        const QString name = dialog->trimmedText();
        if (!name.isEmpty() && m_actions.onRename)
            m_actions.onRename(entry, name);
    });
    dialog->open();
}

void FilePane::confirmDelete(const QStringList &paths)
{
    const bool phone = m_side == Side::android;
    auto *box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("deleteConfirmation"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(Texts::deleteTitle(phone, paths.size()));
    box->setText(Texts::deleteTitle(phone, paths.size()));
    QPushButton *destroy = box->addButton(phone ? QStringLiteral("Delete") : QStringLiteral("Move to Trash"),
                                          QMessageBox::DestructiveRole);
    QPushButton *cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::buttonClicked, this, [this, destroy, paths](QAbstractButton *button) {
        if (button == destroy && m_actions.onDelete)
            m_actions.onDelete(paths);
    });
    box->open();
}

QStringList FilePane::selectedOrClicked(const QModelIndex &clicked) const
{
    // A batch of several items runs in the order the pane lists them.
    if (!clicked.isValid())
        return inRowOrder(m_selection, m_items);
    const QString path = clicked.data(FileTableModel::PathRole).toString();
    if (m_selection.contains(path))
        return inRowOrder(m_selection, m_items);
    return {path};
}

QMenu *FilePane::buildContextMenu(const QStringList &paths)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool phone = m_side == Side::android;
    if (paths.size() == 1 && m_actions.onOpen) {
        const QString path = paths.first();
        menu->addAction(QStringLiteral("Open"), this, [this, path] { m_actions.onOpen(path); });
    }
    if (m_actions.onCopyToOther)
        menu->addAction(phone ? QStringLiteral("Copy to Mac") : QStringLiteral("Copy to Phone"), this,
                        [this, paths] { m_actions.onCopyToOther(paths); });
    if (m_actions.onMoveToOther)
        menu->addAction(phone ? QStringLiteral("Move to Mac…") : QStringLiteral("Move to Phone…"), this,
                        [this, paths] { m_actions.onMoveToOther(paths); });
    if (paths.size() == 1 && m_actions.onQuickLookItem) {
        const QString path = paths.first();
        menu->addAction(QStringLiteral("Quick Look"), this, [this, path] { m_actions.onQuickLookItem(path); });
    }
    if (!phone && m_actions.onRevealItems)
        menu->addAction(QStringLiteral("Show in Finder"), this, [this, paths] { m_actions.onRevealItems(paths); });
    menu->addSeparator();
    if (paths.size() == 1 && m_actions.onRename) {
        if (const std::optional<FileEntry> entry = entryForPath(paths.first()))
            menu->addAction(QStringLiteral("Rename…"), this, [this, e = *entry] { openRenameDialog(e); });
    }
    if (m_actions.onDelete) {
        QAction *remove = menu->addAction(phone ? QStringLiteral("Delete…") : QStringLiteral("Move to Trash…"),
                                          this, [this, paths] { confirmDelete(paths); });
        remove->setIcon(Icons::icon(QStringLiteral("xmark.octagon.fill")));
    }
    return menu;
}

void FilePane::showContextMenu(const QPoint &pos)
{
    const QStringList paths = selectedOrClicked(m_table->indexAt(pos));
    if (paths.isEmpty())
        return;
    buildContextMenu(paths)->popup(m_table->viewport()->mapToGlobal(pos));
}
