// The keys of a desktop file manager: F2 renames the selected row, Backspace and Alt+Up go
// to the parent folder, Escape closes the preview window.
#include "UiTests.h"
#include "Patience.h"

#include "ui/FilePane.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"
#include "ui/NameDialog.h"
#include "ui/PreviewWindow.h"
#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

FileEntry file(const QString &name)
{
    return FileEntry{name, "/data/" + name, false, 1, "2026-01-01 10:00"};
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void f2RenamesOneSelectedRow_data();
    void f2RenamesOneSelectedRow();
    void parentFolderKeys_data();
    void parentFolderKeys();
    void backspaceInTheWindowGoesUp();
    void escapeClosesThePreview();

private:
    FilePane *makePane();

    std::unique_ptr<FilePane> m_pane;
    int m_ups = 0;
    QStringList m_renamed;
};

void KeyboardTest::init()
{
    m_ups = 0;
    m_renamed.clear();
}

void KeyboardTest::cleanup()
{
    m_pane.reset();
}

FilePane *KeyboardTest::makePane()
{
    FilePaneActions actions;
    actions.onUp = [this] { ++m_ups; };
    actions.onRename = [this](const FileEntry &entry, const QString &name) { m_renamed << entry.path + " -> " + name; };
    actions.onOpen = [](const QString &) {};
    m_pane = std::make_unique<FilePane>(FilePane::Side::mac, std::move(actions));
    m_pane->resize(600, 400);
    m_pane->show();
    m_pane->setItems({file("a.txt"), file("b.txt")});
    m_pane->setCanGoUp(true);
    return m_pane.get();
}

void KeyboardTest::f2RenamesOneSelectedRow_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<bool>("opens");
    QTest::newRow("one row") << QStringList{"/data/b.txt"} << true;
    QTest::newRow("two rows") << QStringList{"/data/a.txt", "/data/b.txt"} << false;
    QTest::newRow("no row") << QStringList() << false;
}

void KeyboardTest::f2RenamesOneSelectedRow()
{
    QFETCH(QStringList, selected);
    QFETCH(bool, opens);
    FilePane *pane = makePane();
    pane->setSelection(QSet<QString>(selected.begin(), selected.end()));
    QTest::keyClick(pane->table(), Qt::Key_F2);
    auto *dialog = pane->findChild<NameDialog *>("renameDialog");
    QCOMPARE(dialog != nullptr, opens);
    if (!opens)
        return;
    QCOMPARE(dialog->field()->text(), QString("b.txt"));
    dialog->field()->setText("c.txt");
    dialog->acceptButton()->click();
    QCOMPARE(m_renamed, QStringList{"/data/b.txt -> c.txt"});
}

void KeyboardTest::parentFolderKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("canGoUp");
    QTest::addColumn<int>("ups");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << Qt::KeyboardModifiers() << true << 1;
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::AltModifier) << true << 1;
    QTest::newRow("Up alone moves in the table") << int(Qt::Key_Up) << Qt::KeyboardModifiers() << true << 0;
    QTest::newRow("Backspace at the top") << int(Qt::Key_Backspace) << Qt::KeyboardModifiers() << false << 0;
    QTest::newRow("Alt+Up at the top") << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::AltModifier) << false << 0;
}

void KeyboardTest::parentFolderKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, canGoUp);
    QFETCH(int, ups);
    FilePane *pane = makePane();
    pane->setCanGoUp(canGoUp);
    pane->setSelection({"/data/b.txt"});
    QTest::keyClick(pane->table(), Qt::Key(key), modifiers);
    QCOMPARE(m_ups, ups);
}

void KeyboardTest::backspaceInTheWindowGoesUp()
{
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath("Downloads"));
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    ADB::shared().setCandidatesForTesting({QStringLiteral("/nonexistent/tessary-test/adb")});
    {
        AppModel model;
        MainWindow window(&model);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(model.macPath(), home.filePath("Downloads"));
        QTest::keyClick(window.macPane()->table(), Qt::Key_Backspace);
        QCOMPARE(model.macPath(), home.path());
        QTest::keyClick(window.macPane()->table(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(model.macPath(), QFileInfo(home.path()).absolutePath());
    }
    qputenv("HOME", previousHome);
}

void KeyboardTest::escapeClosesThePreview()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("notes.txt");
    QFile text(path);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("Notes from the phone.\n");
    text.close();
    PreviewWindow preview(path);
    preview.show();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    QVERIFY(preview.isVisible());
    QWidget *focused = preview.focusWidget() ? preview.focusWidget() : &preview;
    QTest::keyClick(focused, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!preview.isVisible(), kPatienceMs);
}

int runKeyboardTests(int argc, char **argv)
{
    KeyboardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "KeyboardTest.moc"
