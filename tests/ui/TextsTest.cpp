#include "UiTests.h"

#include "bridge/PhoneInfo.h"
#include "common/ByteCount.h"
#include "model/transfer/BackupPlan.h"
#include "ui/Icons.h"
#include "ui/PopoverPlacement.h"
#include "ui/Texts.h"

#include <QTest>

class TextsTest : public QObject
{
    Q_OBJECT

private slots:
    void conflictMessage_data();
    void conflictMessage();
    void moveMessage_data();
    void moveMessage();
    void zeroByteBackupStatesTheSize();
    void footer_data();
    void footer();
    void phonePaneError_data();
    void phonePaneError();
    void phoneInfoProblem_data();
    void phoneInfoProblem();
    void percentIsClampedWholeNumber_data();
    void percentIsClampedWholeNumber();
    void everySymbolResolvesInTheInstalledTheme();
    void tintedIconKeepsTheShapeInOneColour();
    void popoverPlacement_data();
    void popoverPlacement();
};

void TextsTest::conflictMessage_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("toPhone");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one name to the phone") << QStringList{"a.jpg"} << true
                                           << "a.jpg already exists on your phone. What should happen?";
    QTest::newRow("three names to the computer") << QStringList{"a", "b", "c"} << false
                                                 << "a, b, c already exist in this Mac folder. What should happen?";
    QTest::newRow("four names are all listed") << QStringList{"a", "b", "c", "d"} << true
                                               << "a, b, c, d already exist on your phone. What should happen?";
    QTest::newRow("six names list four and count two")
        << QStringList{"a", "b", "c", "d", "e", "f"} << true
        << "a, b, c, d and 2 more already exist on your phone. What should happen?";
}

void TextsTest::conflictMessage()
{
    QFETCH(QStringList, names);
    QFETCH(bool, toPhone);
    QFETCH(QString, expected);
    QCOMPARE(Texts::conflictMessage(names, toPhone), expected);
}

void TextsTest::moveMessage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("toPhone");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one item to the phone")
        << 1 << true << "1 item(s) will be copied to your phone, then the originals on this Mac go to the Trash.";
    QTest::newRow("three items to the computer")
        << 3 << false << "3 item(s) will be copied to this Mac, then the originals are deleted from your phone.";
}

void TextsTest::moveMessage()
{
    QFETCH(int, count);
    QFETCH(bool, toPhone);
    QFETCH(QString, expected);
    QCOMPARE(Texts::moveMessage(count, toPhone), expected);
}

void TextsTest::zeroByteBackupStatesTheSize()
{
    BackupPlan plan;
    plan.files = {BackupFile{"/storage/emulated/0/DCIM/a.jpg", "DCIM/a.jpg", 0},
                  BackupFile{"/storage/emulated/0/DCIM/b.jpg", "DCIM/b.jpg", 0}};
    plan.destination = "/home/u/Pictures/Tessary Backup/Pixel 7";
    QCOMPARE(Texts::backupMessage(plan),
             "2 new photo/video file(s) (" + formatByteCount(0) + ") will be copied to:\n/home/u/Pictures/Tessary Backup/Pixel 7"
                 "\n\nFiles already backed up are skipped.");
}

void TextsTest::footer_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all shown") << 12 << 12 << 0 << "12 items";
    QTest::newRow("filtered") << 3 << 10 << 0 << "3 of 10 items match";
    QTest::newRow("selected") << 3 << 10 << 2 << "2 of 10 selected";
    QTest::newRow("empty") << 0 << 0 << 0 << "0 items";
}

void TextsTest::footer()
{
    QFETCH(int, shown);
    QFETCH(int, total);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    QCOMPARE(Texts::footer(shown, total, selected), expected);
}

void TextsTest::phonePaneError_data()
{
    QTest::addColumn<std::optional<QString>>("state");
    QTest::addColumn<std::optional<QString>>("listing");
    QTest::addColumn<std::optional<QString>>("expected");
    const std::optional<QString> none;
    QTest::newRow("unauthorized") << std::optional<QString>("unauthorized") << std::optional<QString>("x")
                                  << std::optional<QString>("Unlock your phone and tap “Allow” on the USB debugging prompt (tick “Always allow”).");
    QTest::newRow("offline") << std::optional<QString>("offline") << none
                             << std::optional<QString>("Device is offline. Re-plug the cable or restart USB debugging.");
    QTest::newRow("ready shows the listing error") << std::optional<QString>("device") << std::optional<QString>("Permission denied")
                                                  << std::optional<QString>("Permission denied");
    QTest::newRow("no device") << none << none << none;
}

void TextsTest::phonePaneError()
{
    QFETCH(std::optional<QString>, state);
    QFETCH(std::optional<QString>, listing);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(Texts::phonePaneError(state, listing), expected);
}

void TextsTest::phoneInfoProblem_data()
{
    QTest::addColumn<std::optional<QString>>("state");
    QTest::addColumn<std::optional<PhoneInfo>>("info");
    QTest::addColumn<std::optional<QString>>("expected");
    const std::optional<QString> none;
    PhoneInfo answered;
    answered.manufacturer = "Acme";
    answered.model = "EmuPhone 1";
    answered.serial = "127.0.0.1:6101";
    PhoneInfo silent;
    silent.serial = "127.0.0.1:6101";
    QTest::newRow("unauthorized") << std::optional<QString>("unauthorized") << std::optional<PhoneInfo>()
                                  << std::optional<QString>("Unlock your phone and tap “Allow” on the USB debugging prompt (tick “Always allow”).");
    QTest::newRow("offline, with what it said before") << std::optional<QString>("offline") << std::optional(answered)
                                                       << std::optional<QString>("Device is offline. Re-plug the cable or restart USB debugging.");
    QTest::newRow("no phone") << none << std::optional<PhoneInfo>() << std::optional<QString>("No phone is selected.");
    QTest::newRow("ready, not read yet") << std::optional<QString>("device") << std::optional<PhoneInfo>() << none;
    QTest::newRow("ready and answered") << std::optional<QString>("device") << std::optional(answered) << none;
    QTest::newRow("ready, said nothing") << std::optional<QString>("device") << std::optional(silent)
                                         << std::optional<QString>("The phone did not answer. Check that it is unlocked and connected, then open this again.");
}

void TextsTest::phoneInfoProblem()
{
    QFETCH(std::optional<QString>, state);
    QFETCH(std::optional<PhoneInfo>, info);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(Texts::phoneInfoProblem(state, info), expected);
}

void TextsTest::percentIsClampedWholeNumber_data()
{
    QTest::addColumn<double>("progress");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << "0%";
    QTest::newRow("fraction truncates") << 0.429 << "42%";
    QTest::newRow("over one") << 1.7 << "100%";
    QTest::newRow("negative") << -0.2 << "0%";
}

void TextsTest::percentIsClampedWholeNumber()
{
    QFETCH(double, progress);
    QFETCH(QString, expected);
    QCOMPARE(Texts::percent(progress), expected);
}

void TextsTest::everySymbolResolvesInTheInstalledTheme()
{
    const QStringList symbols = {
        "laptopcomputer", "smartphone", "iphone", "sdcard", "photo.on.rectangle.angled",
        "square.and.arrow.down.on.square", "camera.viewfinder", "info.circle", "eye", "wifi",
        "arrow.triangle.2.circlepath", "arrow.right.circle.fill", "arrow.right.to.line.circle",
        "arrow.left.to.line.circle", "arrow.left.circle.fill", "arrow.right", "arrow.left",
        "checkmark.circle.fill", "slash.circle", "xmark.octagon.fill", "xmark.circle.fill",
        "arrow.clockwise.circle.fill", "folder.badge.plus", "magnifyingglass", "arrow.clockwise",
        "chevron.up", "star", "line.3.horizontal.decrease", "folder.fill", "doc",
        "exclamationmark.triangle", "tray", "internaldrive", "externaldrive", "house",
        "menubar.dock.rectangle", "arrow.down.circle", "photo", "film", "music.note", "camera",
        "message", "cable.connector", "battery.100.bolt", "battery.75", "lock.fill",
        "externaldrive.fill", "externaldrive.fill.badge.checkmark", "eject.fill"};
    for (const QString &symbol : symbols) {
        QVERIFY2(!Icons::themeName(symbol).isEmpty(), qPrintable(symbol));
        QVERIFY2(!Icons::icon(symbol).pixmap(16, 16).isNull(), qPrintable(symbol + " has no pixmap"));
    }
    QVERIFY(Icons::themeName("no.such.symbol").isEmpty());
}

void TextsTest::tintedIconKeepsTheShapeInOneColour()
{
    const QColor accent(0x1e, 0x6f, 0xd9);
    const QImage plain = Icons::icon("folder.fill").pixmap(32, 32).toImage();
    const QImage tinted = Icons::tinted("folder.fill", accent).pixmap(32, 32).toImage();
    QCOMPARE(tinted.size(), plain.size());
    int painted = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QColor before = plain.pixelColor(x, y);
            const QColor after = tinted.pixelColor(x, y);
            QCOMPARE(after.alpha(), before.alpha());
            if (after.alpha() == 255) {
                QCOMPARE(after.rgb(), accent.rgb());
                ++painted;
            }
        }
    }
    QVERIFY(painted > 0);
}

void TextsTest::popoverPlacement_data()
{
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");
    const QRect window(100, 50, 1000, 640);
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("centred below the anchor")
        << QRect(500, 60, 28, 24) << QSize(300, 200) << window << screen << QPoint(364, 86);
    QTest::newRow("at the right edge it keeps inside the window")
        << QRect(1060, 60, 28, 24) << QSize(300, 200) << window << screen << QPoint(800, 86);
    QTest::newRow("at the left edge it keeps inside the window")
        << QRect(104, 60, 28, 24) << QSize(300, 200) << window << screen << QPoint(100, 86);
    QTest::newRow("wider than the window it stays centred on the screen")
        << QRect(1060, 60, 28, 24) << QSize(1200, 200) << window << screen << QPoint(474, 86);
    QTest::newRow("the screen wins over the window")
        << QRect(1800, 60, 28, 24) << QSize(300, 200) << QRect(1500, 50, 1000, 640) << screen << QPoint(1620, 86);
    QTest::newRow("near the screen's bottom it moves up")
        << QRect(500, 1000, 28, 24) << QSize(300, 200) << QRect(100, 400, 1000, 680) << screen << QPoint(364, 880);
}

void TextsTest::popoverPlacement()
{
    QFETCH(QRect, anchor);
    QFETCH(QSize, size);
    QFETCH(QRect, window);
    QFETCH(QRect, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(popoverPosition(anchor, size, window, screen), expected);
}

int runTextsTests(int argc, char **argv)
{
    TextsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TextsTest.moc"
