#include "UiTests.h"
#include "Patience.h"

#include "ui/FilePane.h"
#include "ui/FileTableModel.h"
#include "ui/FileTableView.h"
#include "ui/NameDialog.h"
#include "ui/RowEdits.h"
#include "ui/UnavailablePanel.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

FileEntry file(const QString &name, qint64 size, const QString &modified = "2026-01-01 10:00")
{
    return FileEntry{name, "/data/" + name, false, size, modified};
}

FileEntry folder(const QString &name, const QString &modified = "2026-01-01 10:00")
{
    return FileEntry{name, "/data/" + name, true, 0, modified};
}

QStringList actionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
    return texts;
}

} // namespace

class FilePaneTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sortsWithFoldersOnTop_data();
    void sortsWithFoldersOnTop();
    void filterMatchesIgnoringCase();
    void filterOfSpacesShowsEverything();
    void footerCountsMatchesAndSelection();
    void selectionSurvivesSortAndFilter();
    void folderChangeClearsFilter();
    void overlays();
    void spaceWithTwoRowsDoesNothing();
    void spaceWithOneRowPreviews();
    void newFolderTrimsAndIgnoresBlankNames();
    void phoneSideHasNoRevealAndWarnsOnDelete();
    void computerSideMenuOffersReveal();
    void contextMenuHandsItemsInRowOrder();
    void rowEditsPlan_data();
    void rowEditsPlan();
    void reloadWithANewRowKeepsTheView();

private:
    FilePane *makePane(FilePane::Side side, FilePaneActions actions = {});
    std::unique_ptr<FilePane> m_pane;
    QStringList m_previewed;
    QStringList m_created;
    QStringList m_deleted;
    QStringList m_revealed;
    QStringList m_copied;
    QStringList m_moved;
    int m_errorActions = 0;
};

FilePane *FilePaneTest::makePane(FilePane::Side side, FilePaneActions actions)
{
    actions.onQuickLookItem = [this](const QString &path) { m_previewed << path; };
    actions.onNewFolder = [this](const QString &name) { m_created << name; };
    actions.onDelete = [this](const QStringList &paths) { m_deleted << paths; };
    actions.onOpen = [](const QString &) {};
    actions.onCopyToOther = [this](const QStringList &paths) { m_copied << paths; };
    actions.onMoveToOther = [this](const QStringList &paths) { m_moved << paths; };
    actions.onRename = [](const FileEntry &, const QString &) {};
    m_pane = std::make_unique<FilePane>(side, std::move(actions));
    m_pane->resize(600, 400);
    m_pane->show();
    return m_pane.get();
}

void FilePaneTest::init()
{
    m_previewed.clear();
    m_created.clear();
    m_deleted.clear();
    m_revealed.clear();
    m_copied.clear();
    m_moved.clear();
    m_errorActions = 0;
}

void FilePaneTest::cleanup()
{
    m_pane.reset();
}

void FilePaneTest::sortsWithFoldersOnTop_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sizes");
    QTest::newRow("name descending") << int(FileTableModel::NameColumn) << Qt::DescendingOrder
                                     << QStringList{"b", "c.txt", "a.txt"} << QStringList();
    QTest::newRow("name ascending") << int(FileTableModel::NameColumn) << Qt::AscendingOrder
                                    << QStringList{"b", "a.txt", "c.txt"} << QStringList();
    QTest::newRow("size ascending") << int(FileTableModel::SizeColumn) << Qt::AscendingOrder
                                    << QStringList{"b", "c.txt", "a.txt"}
                                    << QStringList{"--", "10 bytes", "2 kB"};
    QTest::newRow("size descending") << int(FileTableModel::SizeColumn) << Qt::DescendingOrder
                                     << QStringList{"b", "a.txt", "c.txt"}
                                     << QStringList{"--", "2 kB", "10 bytes"};
    QTest::newRow("modified ascending") << int(FileTableModel::ModifiedColumn) << Qt::AscendingOrder
                                        << QStringList{"b", "c.txt", "a.txt"} << QStringList();
    QTest::newRow("modified descending") << int(FileTableModel::ModifiedColumn) << Qt::DescendingOrder
                                         << QStringList{"b", "a.txt", "c.txt"} << QStringList();
}

void FilePaneTest::sortsWithFoldersOnTop()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, names);
    QFETCH(QStringList, sizes);
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("a.txt", 2000, "2026-03-01 10:00"), folder("b"), file("c.txt", 10, "2026-02-01 09:00")});
    pane->sortBy(column, order);
    QCOMPARE(pane->shownNames(), names);
    if (!sizes.isEmpty())
        QCOMPARE(pane->shownSizes(), sizes);
}

void FilePaneTest::filterMatchesIgnoringCase()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("holiday-photo.jpg", 1), file("notes.txt", 1), folder("Photos")});
    QTest::keyClicks(pane->filterField(), "PHOTO");
    QCOMPARE(pane->shownNames(), (QStringList{"Photos", "holiday-photo.jpg"}));
    QCOMPARE(pane->footerText(), QString("2 of 3 items match"));
}

void FilePaneTest::filterOfSpacesShowsEverything()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("a", 1), file("b", 1)});
    pane->filterField()->setText("   \t ");
    QCOMPARE(pane->shownNames().size(), 2);
    QCOMPARE(pane->footerText(), QString("2 items"));
    QCOMPARE(pane->overlayTitle(), std::nullopt);
}

void FilePaneTest::footerCountsMatchesAndSelection()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    QList<FileEntry> items;
    for (int i = 0; i < 7; ++i)
        items << file(QString("file%1.txt").arg(i), 1);
    items << file("x1.jpg", 1) << file("x2.jpg", 1) << file("x3.jpg", 1);
    pane->setItems(items);
    QCOMPARE(pane->footerText(), QString("10 items"));
    pane->filterField()->setText("jpg");
    QCOMPARE(pane->footerText(), QString("3 of 10 items match"));

    QSignalSpy edited(pane, &FilePane::selectionEdited);
    FileTableView *table = pane->table();
    table->selectRow(0);
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(pane->footerText(), QString("2 of 10 selected"));
    QVERIFY(!edited.isEmpty());
    QCOMPARE(edited.last().first().value<QSet<QString>>(), (QSet<QString>{"/data/x1.jpg", "/data/x2.jpg"}));
}

void FilePaneTest::selectionSurvivesSortAndFilter()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("a.txt", 3), file("b.txt", 2), file("c.txt", 1)});
    pane->setSelection({"/data/b.txt"});
    QSignalSpy edited(pane, &FilePane::selectionEdited);

    pane->sortBy(FileTableModel::SizeColumn, Qt::AscendingOrder);
    QModelIndexList rows = pane->table()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().data().toString(), QString("b.txt"));

    pane->filterField()->setText("a");
    QVERIFY(pane->table()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(pane->selection(), (QSet<QString>{"/data/b.txt"}));
    pane->filterField()->clear();
    rows = pane->table()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().data().toString(), QString("b.txt"));
    QVERIFY(edited.isEmpty());

    // New rows from the owner keep the selection of paths that are still there.
    pane->setItems({file("a.txt", 3), file("b.txt", 5), file("d.txt", 1)});
    QCOMPARE(pane->table()->selectionModel()->selectedRows().size(), 1);
}

void FilePaneTest::folderChangeClearsFilter()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setPathText("/data");
    pane->filterField()->setText("abc");
    pane->setPathText("/data/sub");
    QCOMPARE(pane->filterField()->text(), QString());
}

void FilePaneTest::overlays()
{
    FilePaneActions actions;
    actions.errorActionTitle = "Open Full Disk Access Settings";
    actions.onErrorAction = [this] { ++m_errorActions; };
    FilePane *pane = makePane(FilePane::Side::mac, actions);
    pane->setItems({});
    QCOMPARE(pane->overlayTitle(), std::optional<QString>("Empty folder"));
    pane->setLoading(true);
    QCOMPARE(pane->overlayTitle(), std::nullopt);
    pane->setLoading(false);
    pane->setItems({file("a", 1)});
    QCOMPARE(pane->overlayTitle(), std::nullopt);
    pane->filterField()->setText("zzz");
    QCOMPARE(pane->overlayTitle(), std::optional<QString>("No matches"));
    pane->setErrorText(QString("Permission denied"));
    QCOMPARE(pane->overlayTitle(), std::optional<QString>("Can't open folder"));
    QCOMPARE(pane->overlay()->description(), QString("Permission denied"));
    QPushButton *button = pane->overlay()->actionButton();
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QString("Open Full Disk Access Settings"));
    button->click();
    QCOMPARE(m_errorActions, 1);
}

void FilePaneTest::spaceWithTwoRowsDoesNothing()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("a", 1), file("b", 1)});
    pane->setSelection({"/data/a", "/data/b"});
    pane->table()->setFocus();
    QTest::keyClick(pane->table(), Qt::Key_Space);
    QVERIFY(m_previewed.isEmpty());
}

void FilePaneTest::spaceWithOneRowPreviews()
{
    FilePane *pane = makePane(FilePane::Side::android);
    pane->setItems({file("a", 1), file("b", 1)});
    pane->setSelection({"/data/b"});
    QTest::keyClick(pane->table(), Qt::Key_Space);
    QCOMPARE(m_previewed, QStringList{"/data/b"});
}

void FilePaneTest::newFolderTrimsAndIgnoresBlankNames()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    for (const QString &typed : {QString("   "), QString("  Holiday  ")}) {
        pane->openNewFolderDialog();
        auto *dialog = pane->findChild<NameDialog *>("newFolderDialog");
        QVERIFY(dialog);
        QCOMPARE(dialog->field()->placeholderText(), QString("Folder name"));
        dialog->field()->setText(typed);
        dialog->acceptButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!pane->findChild<NameDialog *>("newFolderDialog"), kPatienceMs);
    }
    QCOMPARE(m_created, QStringList{"Holiday"});
}

void FilePaneTest::phoneSideHasNoRevealAndWarnsOnDelete()
{
    FilePaneActions actions;
    actions.onRevealItems = [this](const QStringList &paths) { m_revealed << paths; };
    FilePane *pane = makePane(FilePane::Side::android, actions);
    pane->setItems({file("a", 1), file("b", 1)});
    QCOMPARE(pane->revealButton(), nullptr);
    QMenu *menu = pane->buildContextMenu({"/data/a", "/data/b"});
    const QStringList texts = actionTexts(menu);
    QCOMPARE(texts, (QStringList{"Copy to Mac", "Move to Mac…", "--", "Delete…"}));
    delete menu;

    pane->setSelection({"/data/a", "/data/b"});
    QTest::keyClick(pane->table(), Qt::Key_Delete);
    auto *box = pane->findChild<QMessageBox *>("deleteConfirmation");
    QVERIFY(box);
    QCOMPARE(box->text(), QString("Delete 2 item(s) from your phone? This cannot be undone."));
    QAbstractButton *destroy = nullptr;
    for (QAbstractButton *button : box->buttons())
        if (button->text() == "Delete")
            destroy = button;
    QVERIFY(destroy);
    destroy->click();
    QCOMPARE(QSet<QString>(m_deleted.begin(), m_deleted.end()), (QSet<QString>{"/data/a", "/data/b"}));
}

void FilePaneTest::computerSideMenuOffersReveal()
{
    FilePaneActions actions;
    actions.onReveal = [] {};
    actions.onRevealItems = [this](const QStringList &paths) { m_revealed << paths; };
    FilePane *pane = makePane(FilePane::Side::mac, actions);
    pane->setItems({file("a", 1)});
    QVERIFY(pane->revealButton());
    QCOMPARE(pane->revealButton()->toolTip(), QString("Show in Finder"));
    QMenu *menu = pane->buildContextMenu({"/data/a"});
    QCOMPARE(actionTexts(menu), (QStringList{"Open", "Copy to Phone", "Move to Phone…", "Quick Look",
                                             "Show in Finder", "--", "Rename…", "Move to Trash…"}));
    for (QAction *action : menu->actions())
        if (action->text() == "Show in Finder")
            action->trigger();
    QCOMPARE(m_revealed, QStringList{"/data/a"});
    delete menu;
}

// However the selection was made, a copy or move of several rows runs top to bottom in the
// pane's order, as the toolbar's buttons do.
void FilePaneTest::contextMenuHandsItemsInRowOrder()
{
    FilePane *pane = makePane(FilePane::Side::mac);
    pane->setItems({file("a", 1), folder("m"), file("b", 1), file("c", 1)});
    pane->setSelection({"/data/c", "/data/m", "/data/a"});
    const QStringList expected{"/data/a", "/data/m", "/data/c"};
    for (const QString &title : {QString("Copy to Phone"), QString("Move to Phone…")}) {
        QMenu *menu = pane->buildContextMenu(pane->selectedOrClicked(QModelIndex()));
        for (QAction *action : menu->actions())
            if (action->text() == title)
                action->trigger();
        delete menu;
    }
    QCOMPARE(m_copied, expected);
    QCOMPARE(m_moved, expected);
}

using Edits = std::optional<QList<RowEdit>>;

void FilePaneTest::rowEditsPlan_data()
{
    using Kind = RowEdit::Kind;
    const FileEntry a = file("a", 1);
    const FileEntry b = file("b", 2);
    const FileEntry c = file("c", 3);
    const FileEntry d = file("d", 4);
    QTest::addColumn<QList<FileEntry>>("shown");
    QTest::addColumn<QList<FileEntry>>("next");
    QTest::addColumn<Edits>("edits");
    QTest::newRow("same") << QList{a, b} << QList{a, b} << Edits(QList<RowEdit>{});
    QTest::newRow("one landed in the middle") << QList{a, b, d} << QList{a, b, c, d}
                                              << Edits(QList<RowEdit>{{Kind::insert, 2, 2}});
    QTest::newRow("first and last") << QList{b, c} << QList{a, b, c, d}
                                    << Edits(QList<RowEdit>{{Kind::insert, 0, 0}, {Kind::insert, 3, 3}});
    QTest::newRow("one gone") << QList{a, b, c} << QList{a, c} << Edits(QList<RowEdit>{{Kind::remove, 1, 0}});
    QTest::newRow("one grew") << QList{a, b, c} << QList{a, file("b", 20), c}
                              << Edits(QList<RowEdit>{{Kind::change, 1, 1}});
    QTest::newRow("replaced in place") << QList{a, b, d} << QList{a, c, d}
                                       << Edits(QList<RowEdit>{{Kind::remove, 1, 0}, {Kind::insert, 1, 1}});
    QTest::newRow("from empty") << QList<FileEntry>{} << QList{a} << Edits(QList<RowEdit>{{Kind::insert, 0, 0}});
    QTest::newRow("other order") << QList{a, b, c} << QList{a, c, b} << Edits();
    QTest::newRow("a path twice") << QList{a, b} << QList{a, a, b} << Edits();
    QList<FileEntry> many;
    for (int i = 0; i < 40; ++i)
        many << file(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')), i);
    QTest::newRow("another folder") << QList{a, b} << many << Edits();
}

void FilePaneTest::rowEditsPlan()
{
    QFETCH(QList<FileEntry>, shown);
    QFETCH(QList<FileEntry>, next);
    QFETCH(Edits, edits);
    QCOMPARE(rowEdits(shown, next, FileTableModel::editLimit), edits);
}

void FilePaneTest::reloadWithANewRowKeepsTheView()
{
    FilePane *pane = makePane(FilePane::Side::android);
    QList<FileEntry> rows;
    for (int i = 0; i < 500; ++i)
        rows << file(QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')), 20000);
    pane->setItems(rows);
    pane->setSelection({"/data/IMG_0400.jpg"});
    QTableView *table = pane->table();
    table->scrollToBottom();
    const int scrolled = table->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(table->model(), &QAbstractItemModel::rowsInserted);

    // One more copy landed: the row appears where its name belongs, nothing else moves.
    rows.insert(250, file("IMG_0249b.jpg", 20000));
    pane->setItems(rows);
    QCOMPARE(resets.size(), 0);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(pane->shownNames().at(250), QString("IMG_0249b.jpg"));
    QCOMPARE(pane->shownNames().size(), 501);
    QCOMPARE(table->verticalScrollBar()->value(), scrolled);
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), QString("IMG_0400.jpg"));
    QCOMPARE(pane->footerText(), QString("1 of 501 selected"));

    // Another folder replaces the table at once.
    pane->setItems({file("other.txt", 1)});
    QCOMPARE(resets.size(), 1);
    QCOMPARE(pane->shownNames(), QStringList{"other.txt"});
}

int runFilePaneTests(int argc, char **argv)
{
    FilePaneTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FilePaneTest.moc"
