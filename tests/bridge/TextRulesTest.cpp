#include "TextRulesTest.h"

#include "bridge/ADB.h"
#include "bridge/AdbVersion.h"
#include "bridge/DeviceList.h"
#include "bridge/FolderWalk.h"
#include "bridge/InstallOutcome.h"
#include "bridge/ListedName.h"
#include "bridge/Listing.h"
#include "bridge/ListingReader.h"
#include "bridge/PairingSupport.h"
#include "bridge/PhoneReport.h"
#include "bridge/ProcessIo.h"
#include "bridge/ShellQuote.h"
#include "bridge/StorageLayout.h"
#include "bridge/TerminalText.h"
#include "common/NameOrder.h"
#include "model/Sizing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using OptionalText = std::optional<QString>;
using OptionalSize = std::optional<qint64>;
using OptionalIo = std::optional<ProcessIo>;

void TextRulesTest::lastMeaningfulLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << QString() << "Transfer failed";
    QTest::newRow("progress only") << "[  5%] /sdcard/a\r[ 50%] /sdcard/a\r[100%] /sdcard/a\n" << "Transfer failed";
    QTest::newRow("error, empty line, blanks")
        << "adb: error: failed to stat remote object '/sdcard/nope': No such file or directory\n\n   "
        << "adb: error: failed to stat remote object '/sdcard/nope': No such file or directory";
    QTest::newRow("CRLF lines with blanks") << "  first line \r\n\tsecond line  \r\n" << "second line";
    QTest::newRow("progress after the reason") << "adb: error: boom\n[ 42%] /sdcard/x" << "adb: error: boom";
    QTest::newRow("no-break space is a blank") << "reason\n\u00a0\u2003\n" << "reason";
}

void TextRulesTest::lastMeaningfulLine()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QCOMPARE(ADB::lastMeaningfulLine(text), line);
}

void TextRulesTest::shellQuoteReachesShellAsOneWord_data()
{
    QTest::addColumn<QString>("path");
    for (const char *path : {"/sdcard/My Folder", "/sdcard/it's a test file é.txt", "/sdcard/$HOME", "/sdcard/`id`",
                             "/sdcard/$(echo x)", "/sdcard/a;b", "/sdcard/*", "/sdcard/line\nbreak",
                             "/sdcard/\"double\"", "'", "''", "-rf", "a\\b", "tab\there", "~user", "!event"})
        QTest::newRow(path) << QString::fromUtf8(path);
}

void TextRulesTest::shellQuoteReachesShellAsOneWord()
{
    QFETCH(QString, path);
    // The word must come out of a POSIX shell byte for byte, as one argument.
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"),
             {QStringLiteral("-c"), QStringLiteral("printf '%s|' ") + shellQuote(path) + QStringLiteral("; printf '%s' \"$#\"")});
    QVERIFY(sh.waitForFinished());
    QCOMPARE(sh.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()), path + QStringLiteral("|0"));
}

void TextRulesTest::shellQuoteExamples()
{
    QCOMPARE(shellQuote(QStringLiteral("/sdcard/My Folder")), QStringLiteral("'/sdcard/My Folder'"));
    QCOMPARE(shellQuote(QStringLiteral("/sdcard/it's")), QStringLiteral("'/sdcard/it'\\''s'"));
    QCOMPARE(shellQuote(QString()), QStringLiteral("''"));
}

void TextRulesTest::deviceList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QList<AndroidDevice>>("devices");
    QTest::newRow("heading only") << "List of devices attached\n" << QList<AndroidDevice>{};
    QTest::newRow("empty") << QString() << QList<AndroidDevice>{};
    QTest::newRow("usb, several spaces")
        << "List of devices attached\nR58M12ABCDE    device usb:1-1 product:prod1 model:Phone_One device:dev1 transport_id:2\n"
        << QList<AndroidDevice>{{"R58M12ABCDE", "device", "Phone_One"}};
    QTest::newRow("tab, unauthorized, no model")
        << "0123456789ABCDEF\tunauthorized usb:1-2 transport_id:3\n"
        << QList<AndroidDevice>{{"0123456789ABCDEF", "unauthorized", ""}};
    QTest::newRow("wifi")
        << "10.0.0.5:5555 device product:prod2 model:Phone_Two device:dev2 transport_id:4\n"
        << QList<AndroidDevice>{{"10.0.0.5:5555", "device", "Phone_Two"}};
    QTest::newRow("server notices, lone serial, blanks, order kept")
        << "* daemon not running; starting now at tcp:5037\n* daemon started successfully\n"
           "List of devices attached\nLONESERIAL\n   \t \nB offline\nA device model:M\n\n"
        << QList<AndroidDevice>{{"B", "offline", ""}, {"A", "device", "M"}};
}

void TextRulesTest::deviceList()
{
    QFETCH(QString, output);
    QFETCH(QList<AndroidDevice>, devices);
    QCOMPARE(parseDeviceList(output), devices);
}

void TextRulesTest::displayName_data()
{
    QTest::addColumn<AndroidDevice>("device");
    QTest::addColumn<QString>("name");
    QTest::newRow("model") << AndroidDevice{"S1", "device", "Pixel_4a__5G_"} << "Pixel 4a  5G ";
    QTest::newRow("no model") << AndroidDevice{"S1", "device", ""} << "S1";
    QTest::newRow("unauthorized") << AndroidDevice{"S1", "unauthorized", ""} << "S1 (unauthorized)";
    QTest::newRow("offline with model") << AndroidDevice{"S1", "offline", "Phone_Two"} << "Phone Two (offline)";
}

void TextRulesTest::displayName()
{
    QFETCH(AndroidDevice, device);
    QFETCH(QString, name);
    QCOMPARE(device.displayName(), name);
}

void TextRulesTest::listedName_data()
{
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "it's é.txt" << "it's é.txt";
    QTest::newRow("spaces") << "\\ a\\ b\\ " << " a b ";
    QTest::newRow("backslashes") << "a\\\\b\\\\\\\\" << "a\\b\\\\";
    QTest::newRow("controls by letter") << "\\a\\b\\e\\f\\n\\r\\t\\v" << "\a\b\x1b\f\n\r\t\v";
    QTest::newRow("controls in octal") << "x\\001\\177y" << "x\x01\x7fy";
    QTest::newRow("a character written as its bytes") << "u\\357\\277\\276" << "u\uFFFE";
    QTest::newRow("multibyte characters as printed") << "日本😀 e\u0301" << "日本😀 e\u0301";
    QTest::newRow("a byte that is not text") << "inv\\377alid" << "inv\uFFFDalid";
    QTest::newRow("a control character of U+0080 to U+009F") << "nel\\205x" << "nel\uFFFDx";
    QTest::newRow("a lone byte that would join the one before")
        << "\\303\\205" << "\uFFFD\uFFFD";
    QTest::newRow("escapes toybox never writes") << "a\\q\\0" << "a\uFFFDq\uFFFD0";
    QTest::newRow("NUL and slash") << "\\000\\057" << "\uFFFD\uFFFD";
    QTest::newRow("backslash at the end") << "end\\" << "end\uFFFD";
}

void TextRulesTest::listedName()
{
    QFETCH(QString, printed);
    QFETCH(QString, name);
    QCOMPARE(unescapeListedName(printed), name);
}

void TextRulesTest::nameList_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("escaped names") << "a.txt\n\\ lead\ntrail\\ \ntwo\\nlines\n.hidden\n"
                                   << QStringList{"a.txt", " lead", "trail ", "two\nlines", ".hidden"};
    QTest::newRow("blanks around lines, CRLF") << "  spaced\\ name \t\r\nx\r\n" << QStringList{"spaced name", "x"};
    QTest::newRow("error lines") << "ls: /sdcard/x/: No such file or directory\nls:colon\\ name\n"
                                 << QStringList{"ls:colon name"};
    QTest::newRow("escaped backslash before a blank") << "a\\\\ \nb\\\\\\ \n" << QStringList{"a\\", "b\\ "};
    QTest::newRow("line separator unescaped") << "ls\u2028sep\n" << QStringList{"ls\u2028sep"};
    QTest::newRow("no-break space is part of a name") << "\u00a0nbsp\u00a0\n" << QStringList{"\u00a0nbsp\u00a0"};
}

void TextRulesTest::nameList()
{
    QFETCH(QString, output);
    QFETCH(QStringList, names);
    QCOMPARE(parseNameList(output), QSet<QString>(names.begin(), names.end()));
}

void TextRulesTest::listingLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<FileEntry>>("entries");
    const QString d = QStringLiteral("/sdcard/");
    QTest::newRow("total") << "total 24" << QList<FileEntry>{};
    QTest::newRow("file with spaces and parentheses")
        << "-rw-rw---- 1 u0_a123 media_rw 1234 2024-05-01 13:45 My File (1).txt"
        << QList<FileEntry>{{"My File (1).txt", d + "My File (1).txt", false, 1234, "2024-05-01 13:45"}};
    QTest::newRow("folder")
        << "drwxrws--- 2 u0_a123 media_rw 3452 2024-05-01 13:45 Alarms"
        << QList<FileEntry>{{"Alarms", d + "Alarms", true, 3452, "2024-05-01 13:45"}};
    QTest::newRow("access marker")
        << "-rw-rw----+ 1 u0_a123 media_rw 10 2024-05-01 13:45 notes.txt"
        << QList<FileEntry>{{"notes.txt", d + "notes.txt", false, 10, "2024-05-01 13:45"}};
    QTest::newRow("dangling link")
        << "lrwxrwxrwx 1 root root 21 2024-05-01 13:45 old -> /storage/missing"
        << QList<FileEntry>{{"old", d + "old", false, 21, "2024-05-01 13:45"}};
    QTest::newRow("month name date") << "-rw-rw---- 1 u0_a123 media_rw 1234 May  1 13:45 a.txt" << QList<FileEntry>{};
    QTest::newRow("error line") << "ls: /storage/emulated/0/x: Permission denied" << QList<FileEntry>{};
    QTest::newRow("carriage returns around")
        << "\r-rw-r--r-- 1 shell everybody 13 2026-12-10 01:41 it's a test file é.txt\r"
        << QList<FileEntry>{{"it's a test file é.txt", d + "it's a test file é.txt", false, 13, "2026-12-10 01:41"}};
    QTest::newRow("arrow in a file name stays")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 a -> b"
        << QList<FileEntry>{{"a -> b", d + "a -> b", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("escaped spaces, leading and trailing")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 \\ lead\\ and\\ trail\\ "
        << QList<FileEntry>{{" lead and trail ", d + " lead and trail ", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("line break in a name is one entry")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 two\\nlines\n"
           "-rw-r--r-- 1 shell everybody 2 2026-12-10 01:41 next"
        << QList<FileEntry>{{"two\nlines", d + "two\nlines", false, 1, "2026-12-10 01:41"},
                            {"next", d + "next", false, 2, "2026-12-10 01:41"}};
    QTest::newRow("a name that looks like a listing line")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 evil\\n-rw-r--r--\\ 1\\ root\\ root\\ 5\\ 2024-05-01\\ 13:45\\ victim"
        << QList<FileEntry>{{"evil\n-rw-r--r-- 1 root root 5 2024-05-01 13:45 victim",
                             d + "evil\n-rw-r--r-- 1 root root 5 2024-05-01 13:45 victim", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("dangling link whose name holds an arrow")
        << "lrwxrwxrwx 1 root root 7 2026-12-10 01:41 brok\\ ->\\ en -> missing"
        << QList<FileEntry>{{"brok -> en", d + "brok -> en", false, 7, "2026-12-10 01:41"}};
    QTest::newRow("link whose name has an arrow after an escaped space")
        << "lrwxrwxrwx 1 root root 7 2026-12-10 01:41 ->\\ \\ -> -> /storage/gone -> here"
        << QList<FileEntry>{{"->  ->", d + "->  ->", false, 7, "2026-12-10 01:41"}};
    QTest::newRow("link whose name ends in a backslash")
        << "lrwxrwxrwx 1 root root 7 2026-12-10 01:41 back\\\\ -> target"
        << QList<FileEntry>{{"back\\", d + "back\\", false, 7, "2026-12-10 01:41"}};
    QTest::newRow("backslash, quote, shell characters")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 a\\\\b\\ \"q\"\\ $(x);`y`|&*"
        << QList<FileEntry>{{"a\\b \"q\" $(x);`y`|&*", d + "a\\b \"q\" $(x);`y`|&*", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("other line-break characters belong to the name")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 ls\u2028sep\u0085nel\fff"
        << QList<FileEntry>{{"ls\u2028sep\u0085nel\fff", d + "ls\u2028sep\u0085nel\fff", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("bytes that are not text")
        << "-rw-r--r-- 1 shell everybody 1 2026-12-10 01:41 inv\\377alid"
        << QList<FileEntry>{{"inv\uFFFDalid", d + "inv\uFFFDalid", false, 1, "2026-12-10 01:41"}};
    QTest::newRow("size beyond 64 bits")
        << "-rw-r--r-- 1 shell everybody 99999999999999999999 2026-12-10 01:41 huge"
        << QList<FileEntry>{{"huge", d + "huge", false, 0, "2026-12-10 01:41"}};
}

void TextRulesTest::listingLine()
{
    QFETCH(QString, line);
    QFETCH(QList<FileEntry>, entries);
    QCOMPARE(parseListing(line, QStringLiteral("/sdcard/"), true), entries);
}

void TextRulesTest::listingPaths_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("root") << "/" << "/x" << "'/'";
    QTest::newRow("no trailing slash") << "/sdcard/DCIM" << "/sdcard/DCIM/x" << "'/sdcard/DCIM/'";
    QTest::newRow("trailing slash") << "/sdcard/DCIM/" << "/sdcard/DCIM/x" << "'/sdcard/DCIM/'";
    QTest::newRow("apostrophe") << "/sdcard/it's" << "/sdcard/it's/x" << "'/sdcard/it'\\''s/'";
}

void TextRulesTest::listingPaths()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QFETCH(QString, quoted);
    const auto entries = parseListing(QStringLiteral("-rw-r--r-- 1 a b 1 2026-12-10 01:41 x"), folder, false);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().path, path);
    QCOMPARE(quotedFolder(folder), quoted);
}

void TextRulesTest::listingHidden()
{
    const QString text = QStringLiteral("total 8\n-rw-r--r-- 1 a b 1 2026-12-10 01:41 .nomedia\n"
                                        "drwxr-xr-x 2 a b 4096 2026-12-10 01:41 .thumbnails\n"
                                        "-rw-r--r-- 1 a b 1 2026-12-10 01:41 shown\n");
    QCOMPARE(parseListing(text, QStringLiteral("/d"), false).size(), 1);
    QCOMPARE(parseListing(text, QStringLiteral("/d"), true).size(), 3);
}

void TextRulesTest::listingSortOrder()
{
    QList<FileEntry> entries;
    for (const auto &[name, dir] : {std::pair{"x10.txt", false}, {"b", true}, {"X2.txt", false}, {"a.txt", false}, {"A", true}})
        entries.append({QString::fromUtf8(name), QStringLiteral("/") + name, dir, 0, {}});
    sortEntries(entries);
    QStringList names;
    for (const FileEntry &e : std::as_const(entries))
        names << e.name;
    QCOMPARE(names, (QStringList{"A", "b", "a.txt", "X2.txt", "x10.txt"}));

    // Names that compare equal keep the phone's order.
    QList<FileEntry> same{{"a", "/1", false, 1, {}}, {"A", "/2", false, 2, {}}, {"a", "/3", false, 3, {}}};
    sortEntries(same);
    QCOMPARE(same.at(0).path, QStringLiteral("/1"));
    QCOMPARE(same.at(1).path, QStringLiteral("/2"));
    QCOMPARE(same.at(2).path, QStringLiteral("/3"));
}

void TextRulesTest::listingReadInPieces()
{
    // Names of several UTF-8 lengths, CR LF ends, hidden and equal names, a folder, a line
    // that is no entry and a last line without its line feed.
    const QByteArray output = QStringLiteral("total 12\r\n"
                                             "-rw-r--r-- 1 a b 3 2026-12-10 01:41 Zoë\r\n"
                                             "drwxr-xr-x 2 a b 4096 2026-12-10 01:42 Fotos €\n"
                                             "-rw-r--r-- 1 a b 4 2026-12-10 01:43 .hidden\n"
                                             "-rw-r--r-- 1 a b 5 2026-12-10 01:44 \u732b\U0001F408.jpg\n"
                                             "-rw-r--r-- 1 a b 6 2026-12-10 01:45 a\n"
                                             "-rw-r--r-- 1 a b 7 2026-12-10 01:46 A\n"
                                             "-rw-r--r-- 1 a b 8 2026-12-10 01:47 inv\\377alid")
                                  .toUtf8();
    const QString error = QStringLiteral("ls: /d/locked: Permission denied\n"
                                         "-rw-r--r-- 1 a b 9 2026-12-10 01:48 late\n");
    for (const bool showHidden : {false, true}) {
        QList<FileEntry> expected = parseListing(QString::fromUtf8(output) + QLatin1Char('\n') + error,
                                                 QStringLiteral("/d"), showHidden);
        sortEntries(expected);
        QCOMPARE(expected.size(), showHidden ? 8 : 7);
        // Every place the output can be cut, and a byte at a time.
        for (qsizetype cut = 0; cut <= output.size(); ++cut) {
            ListingReader reader(QStringLiteral("/d"), showHidden);
            reader.add(QByteArrayView(output).first(cut));
            reader.add(QByteArrayView(output).sliced(cut));
            QCOMPARE(reader.finish(error), expected);
        }
        ListingReader bytewise(QStringLiteral("/d"), showHidden);
        for (const char byte : output)
            bytewise.add(QByteArrayView(&byte, 1));
        QCOMPARE(bytewise.finish(error), expected);
    }
}

void TextRulesTest::walkedFolder_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("identity");
    QTest::addColumn<QStringList>("paths");
    const QString file = QStringLiteral("-rw-r--r-- 1 a b 1 2026-12-10 01:41 ");
    const QString dir = QStringLiteral("drwxr-xr-x 2 a b 4096 2026-12-10 01:41 ");
    QTest::newRow("resolved, then listed")
        << "/storage/emulated/0/DCIM\ntotal 8\n" + file + "b.jpg\n" + dir + "Camera\n" + file + ".nomedia\n"
        << "/storage/emulated/0/DCIM" << QStringList{"/sdcard/DCIM/b.jpg", "/sdcard/DCIM/Camera"};
    QTest::newRow("terminal line ends")
        << "/storage/emulated/0/DCIM\r\ntotal 4\r\n" + file + "a it's.jpg\r\n"
        << "/storage/emulated/0/DCIM" << QStringList{"/sdcard/DCIM/a it's.jpg"};
    QTest::newRow("empty folder") << "/storage/emulated/0/DCIM\ntotal 0\n" << "/storage/emulated/0/DCIM" << QStringList();
    QTest::newRow("root") << "/\ntotal 4\n" + dir + "sdcard\n" << "/" << QStringList{"/sdcard/DCIM/sdcard"};
    QTest::newRow("path with a line break and listing lines")
        << "/storage/emulated/0/evil\n" + file + "phantom\ntotal 4\n" + dir + "x\\ny\n" + file + "real\\ one\n"
        << "/storage/emulated/0/evil\n" + file + "phantom" << QStringList{"/sdcard/DCIM/x\ny", "/sdcard/DCIM/real one"};
    QTest::newRow("path that even holds a total line")
        << "/storage/emulated/0/evil\ntotal 1\n" + file + "phantom\ntotal 0\n"
        << "/storage/emulated/0/evil\ntotal 1\n" + file + "phantom" << QStringList();
    QTest::newRow("entered but not listed") << "/storage/emulated/0/a\n" + file + "phantom\n"
                                            << "/storage/emulated/0/a\n" + file + "phantom" << QStringList();
    QTest::newRow("not entered") << QString() << "/sdcard/DCIM" << QStringList();
    QTest::newRow("no path printed") << "total 4\n" + file + "x.jpg\n" << "/sdcard/DCIM" << QStringList{"/sdcard/DCIM/x.jpg"};
    QTest::newRow("path without listing") << "/storage/emulated/0/DCIM" << "/storage/emulated/0/DCIM" << QStringList();
}

void TextRulesTest::walkedFolder()
{
    QFETCH(QString, output);
    QFETCH(QString, identity);
    QFETCH(QStringList, paths);
    const WalkedFolder walked = parseWalkedFolder(output, QStringLiteral("/sdcard/DCIM"));
    QCOMPARE(walked.identity, identity);
    QStringList found;
    for (const FileEntry &entry : walked.entries)
        found << entry.path;
    QCOMPARE(found, paths);
}

void TextRulesTest::emptyListing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<OptionalText>("failure");
    QTest::newRow("permission denied")
        << "ls: /sdcard/x/: Permission denied\n" << 1 << OptionalText("Permission denied for /sdcard/x");
    QTest::newRow("missing") << "ls: /sdcard/x/: No such file or directory\n" << 1
                             << OptionalText("Folder not found: /sdcard/x");
    QTest::newRow("permission wins over missing") << "No such file\nPermission denied" << 1
                                                   << OptionalText("Permission denied for /sdcard/x");
    QTest::newRow("empty folder") << "total 0\n" << 0 << OptionalText();
    QTest::newRow("nothing at all, failed") << "  \n" << 1 << OptionalText();
    QTest::newRow("other failure") << "\n error: device offline \n" << 1 << OptionalText("error: device offline");
    QTest::newRow("other text, status 0") << "something odd" << 0 << OptionalText();
}

void TextRulesTest::emptyListing()
{
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(OptionalText, failure);
    QCOMPARE(emptyListingFailure(text, status, QStringLiteral("/sdcard/x")), failure);
}

void TextRulesTest::nameOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("digits by value") << "file2" << "file10" << -1;
    QTest::newRow("case ignored") << "apple" << "Banana" << -1;
    QTest::newRow("case only") << "README" << "readme" << 0;
    QTest::newRow("mixed") << "X2.txt" << "x10.txt" << -1;
    QTest::newRow("prefix first") << "a" << "ab" << -1;
    QTest::newRow("leading zeros, different values") << "img007" << "img10" << -1;
}

void TextRulesTest::nameOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const auto signOf = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    QCOMPARE(signOf(compareNames(a, b)), sign);
    QCOMPARE(signOf(compareNames(b, a)), -sign);
    QCOMPARE(nameLess(a, b), sign < 0);
}

void TextRulesTest::storageListing_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("one card") << "emulated\nself\n1A2B-3C4D\n" << QStringList{"Internal storage", "SD card"}
                              << QStringList{"/storage/emulated/0", "/storage/1A2B-3C4D"};
    QTest::newRow("two cards") << "emulated\nself\n1A2B-3C4D\n5E6F-7A8B\n"
                               << QStringList{"Internal storage", "SD card / USB 1", "SD card / USB 2"}
                               << QStringList{"/storage/emulated/0", "/storage/1A2B-3C4D", "/storage/5E6F-7A8B"};
    QTest::newRow("never volumes")
        << "sdcard0\nsdcard1\nMy Card\nls: /storage/x: Permission denied\n  \n" << QStringList{"Internal storage"}
        << QStringList{"/storage/emulated/0"};
    QTest::newRow("blanks trimmed, CRLF") << "emulated\r\n  AAAA-BBBB \t\r\n" << QStringList{"Internal storage", "SD card"}
                                          << QStringList{"/storage/emulated/0", "/storage/AAAA-BBBB"};
}

void TextRulesTest::storageListing()
{
    QFETCH(QString, output);
    QFETCH(QStringList, names);
    QFETCH(QStringList, paths);
    const QList<StorageVolume> volumes = volumesFromStorageListing(output);
    QStringList gotNames, gotPaths;
    for (const StorageVolume &v : volumes) {
        gotNames << v.name;
        gotPaths << v.path;
        QCOMPARE(v.isInternal, v.path == QLatin1String("/storage/emulated/0"));
        QCOMPARE(v.total, 0);
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotPaths, paths);
}

void TextRulesTest::diskFree_data()
{
    QTest::addColumn<int>("volumeCount");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QList<qint64>>("sizes"); // total, free per volume
    const QString heading = QStringLiteral("Filesystem 1K-blocks Used Available Use% Mounted on\n");
    QTest::newRow("internal") << 1 << heading + "/dev/fuse 1000 600 400 60% /storage/emulated\n"
                              << QList<qint64>{1000 * 1024, 400 * 1024};
    QTest::newRow("card without row") << 2 << heading + "/dev/fuse 1000 600 400 60% /storage/emulated\n"
                                      << QList<qint64>{0, 0, 0, 0};
    QTest::newRow("two rows, tabs") << 2 << heading + "a\t10\t5\t5\t50%\t/x\nb 20 1 19 5% /y\n"
                                    << QList<qint64>{10240, 5120, 20480, 19456};
    QTest::newRow("unreadable row") << 1 << heading + "/dev/fuse 1000 600 lots 60% /x\n" << QList<qint64>{0, 0};
    QTest::newRow("short row") << 1 << heading + "/dev/fuse 1000 600\n" << QList<qint64>{0, 0};
    QTest::newRow("negative count") << 1 << heading + "/dev/vda 25146064 239066020 -0606 10% /x\n"
                                    << QList<qint64>{0, 0};
    QTest::newRow("largest count that fits")
        << 1 << heading + "/dev/vda 9007199254740991 0 9007199254740991 0% /x\n"
        << QList<qint64>{9007199254740991LL * 1024, 9007199254740991LL * 1024};
    QTest::newRow("bytes beyond 64 bits") << 1 << heading + "/dev/vda 9007199254740992 0 1 0% /x\n"
                                          << QList<qint64>{0, 0};
    QTest::newRow("heading only") << 1 << heading << QList<qint64>{0, 0};
    QTest::newRow("no heading: the only line is taken as one") << 1 << "/dev/fuse 1000 600 400 60% /x\n"
                                                               << QList<qint64>{0, 0};
}

void TextRulesTest::diskFree()
{
    QFETCH(int, volumeCount);
    QFETCH(QString, output);
    QFETCH(QList<qint64>, sizes);
    QList<StorageVolume> volumes{internalStorage()};
    for (int i = 1; i < volumeCount; ++i)
        volumes.append({QStringLiteral("SD card"), QStringLiteral("/storage/C%1").arg(i), 0, 0, false});
    applyDiskFree(volumes, parseDiskFree(output));
    QList<qint64> got;
    for (const StorageVolume &v : std::as_const(volumes))
        got << v.total << v.free;
    QCOMPARE(got, sizes);
}

void TextRulesTest::phoneReport()
{
    const QString output = QStringLiteral(
        "google\nPhone Two\n14\nCurrent Battery Service state:\n  AC powered: false\n  status: 2\n"
        "  health: 2\n  level: 85\n  scale: 100\n  temperature: 291\n");
    PhoneInfo expected;
    expected.manufacturer = QStringLiteral("Google");
    expected.model = QStringLiteral("Phone Two");
    expected.androidVersion = QStringLiteral("14");
    expected.batteryLevel = 85;
    expected.charging = true;
    expected.temperatureC = 29.1;
    expected.serial = QStringLiteral("S1");
    const PhoneInfo info = parsePhoneReport(output, QStringLiteral("S1"));
    QVERIFY(info.temperatureC);
    QCOMPARE(*info.temperatureC, 29.1);
    expected.temperatureC = info.temperatureC;
    QCOMPARE(info, expected);

    QCOMPARE(capitalizeWords(QStringLiteral("SAMSUNG")), QStringLiteral("Samsung"));
    QCOMPARE(capitalizeWords(QStringLiteral("sony mobile")), QStringLiteral("Sony Mobile"));

    // An unset property keeps its place.
    const PhoneInfo gap = parsePhoneReport(QStringLiteral("\nPhone\n13\n"), QStringLiteral("S"));
    QCOMPARE(gap.manufacturer, QString());
    QCOMPARE(gap.model, QStringLiteral("Phone"));
    QCOMPARE(gap.androidVersion, QStringLiteral("13"));

    // Old phones answer through a terminal: CRLF line ends.
    const PhoneInfo crlf = parsePhoneReport(QStringLiteral("lge\r\nNexus 5\r\n6.0\r\n  level: 40\r\n"), QStringLiteral("S"));
    QCOMPARE(crlf.model, QStringLiteral("Nexus 5"));
    QCOMPARE(crlf.androidVersion, QStringLiteral("6.0"));
    QCOMPARE(crlf.batteryLevel, std::optional<int>(40));
}

void TextRulesTest::phoneReportBattery_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<std::optional<int>>("level");
    QTest::addColumn<bool>("charging");
    QTest::addColumn<std::optional<double>>("temperature");
    QTest::addColumn<QString>("manufacturer");
    QTest::newRow("full") << "a\nb\nc\n  status: 5\n" << std::optional<int>() << true << std::optional<double>() << "A";
    QTest::newRow("discharging") << "a\nb\nc\n  status: 3\n  level: 12\n" << std::optional<int>(12) << false
                                 << std::optional<double>() << "A";
    QTest::newRow("level empty") << "a\nb\nc\n  level:\n" << std::optional<int>() << false << std::optional<double>() << "A";
    QTest::newRow("level word") << "a\nb\nc\n  level: high\n" << std::optional<int>() << false
                                << std::optional<double>() << "A";
    QTest::newRow("later lines override") << "a\nb\nc\nlevel: 10\nstatus: 2\nlevel: 20\nstatus: 4\ntemperature: 300\n"
                                          << std::optional<int>(20) << false << std::optional<double>(30.0) << "A";
    QTest::newRow("unreadable temperature keeps earlier") << "a\nb\nc\ntemperature: 250\ntemperature: hot\n"
                                                          << std::optional<int>() << false
                                                          << std::optional<double>(25.0) << "A";
    QTest::newRow("not a finite temperature keeps earlier")
        << "a\nb\nc\ntemperature: 250\ntemperature: nan\ntemperature: inf\ntemperature: -inf\n"
        << std::optional<int>() << false << std::optional<double>(25.0) << "A";
    QTest::newRow("two lines only") << "  level: 50\n  status: 2" << std::optional<int>(50) << true
                                    << std::optional<double>() << "";
    QTest::newRow("empty") << "" << std::optional<int>() << false << std::optional<double>() << "";
}

void TextRulesTest::phoneReportBattery()
{
    QFETCH(QString, output);
    QFETCH(std::optional<int>, level);
    QFETCH(bool, charging);
    QFETCH(std::optional<double>, temperature);
    QFETCH(QString, manufacturer);
    const PhoneInfo info = parsePhoneReport(output, QStringLiteral("S"));
    QCOMPARE(info.batteryLevel, level);
    QCOMPARE(info.charging, charging);
    QCOMPARE(info.temperatureC, temperature);
    QCOMPARE(info.manufacturer, manufacturer);
    QCOMPARE(info.serial, QStringLiteral("S"));
}

void TextRulesTest::installOutcome_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalText>("failure");
    QTest::newRow("success after progress") << "Performing Streamed Install\nSuccess\n" << OptionalText();
    QTest::newRow("failure code then empty line")
        << "Performing Streamed Install\nadb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]\n\n"
        << OptionalText("adb: failed to install bad.apk: Failure [INSTALL_PARSE_FAILED_NOT_APK: not a zip]");
    QTest::newRow("last naming line wins") << "Error: first\n  Failure [SECOND]  \nnothing\n"
                                           << OptionalText("Failure [SECOND]");
    QTest::newRow("nothing printed") << "" << OptionalText("Transfer failed");
    QTest::newRow("no naming line") << "adb: device offline\n" << OptionalText("adb: device offline");
}

void TextRulesTest::installOutcome()
{
    QFETCH(QString, text);
    QFETCH(OptionalText, failure);
    QCOMPARE(installFailure(text), failure);
}

void TextRulesTest::parseStat_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<OptionalSize>("value");
    QTest::newRow("du") << "1024\t/sdcard/Download/x\n" << OptionalSize(1024);
    QTest::newRow("stat above 32 bits") << "2147483648\n" << OptionalSize(2147483648LL);
    QTest::newRow("missing") << "stat: '/sdcard/x': No such file or directory\n" << OptionalSize();
    QTest::newRow("du error first") << "du: /x: Permission denied\n  \n 12 /y\n" << OptionalSize(12);
    QTest::newRow("not a number") << "garbage here\n7\n" << OptionalSize();
    QTest::newRow("empty") << "" << OptionalSize();
    QTest::newRow("negative") << "-1\nd" << OptionalSize();
}

void TextRulesTest::parseStat()
{
    QFETCH(QString, output);
    QFETCH(OptionalSize, value);
    QCOMPARE(Sizing::parseStat(output), value);
    QCOMPARE(Sizing::parseStat(output, false), value.value_or(0));
    QCOMPARE(Sizing::parseStat(output, true), value.value_or(0) * 1024);
}

void TextRulesTest::folderSizeInBytes_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<qint64>("bytes");
    const qint64 largest = std::numeric_limits<qint64>::max() / 1024;
    QTest::newRow("kibibytes") << "13948\t/storage/emulated/0/DCIM\n" << qint64(13948 * 1024);
    QTest::newRow("largest that fits") << QString::number(largest) + "\t/x\n" << largest * 1024;
    QTest::newRow("bytes beyond 64 bits") << QString::number(largest + 1) + "\t/x\n" << qint64(0);
}

void TextRulesTest::folderSizeInBytes()
{
    QFETCH(QString, output);
    QFETCH(qint64, bytes);
    QCOMPARE(Sizing::parseStat(output, true), bytes);
}

void TextRulesTest::localSize()
{
    QTemporaryDir dir;
    const auto write = [&](const QString &relative, int bytes) {
        QFile file(dir.filePath(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(bytes, 'x'));
    };
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub/.hidden")));
    write(QStringLiteral("a.bin"), 1000);
    write(QStringLiteral("sub/b.bin"), 2000);
    write(QStringLiteral("sub/.hidden/c.bin"), 500);
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("a.bin")), dir.filePath(QStringLiteral("sub/link"))));
    QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/loop"))));
    QCOMPARE(Sizing::local(dir.filePath(QStringLiteral("a.bin"))), 1000);
    QCOMPARE(Sizing::local(dir.path()), 3500);
    QCOMPARE(Sizing::local(dir.filePath(QStringLiteral("nope"))), 0);
}

void TextRulesTest::terminalEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");
    QTest::newRow("erase line") << "\r[ 42%] /sdcard/x\x1b[K" << "\r[ 42%] /sdcard/x";
    QTest::newRow("colour") << "\x1b[1;31merror\x1b[0m: x" << "error: x";
    QTest::newRow("title") << "\x1b]0;title\x07text" << "text";
    QTest::newRow("two-character") << "a\x1b" "7b\x1b" "8c" << "abc";
    QTest::newRow("none") << "plain é" << "plain é";
}

void TextRulesTest::terminalEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QCOMPARE(stripTerminalEscapes(text), plain);
}

void TextRulesTest::adbVersion_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("version");
    QTest::newRow("Debian's adb") << "Android Debug Bridge version 1.0.41\nVersion 29.0.6-debian\n"
                                     "Installed as /usr/lib/android-sdk/platform-tools/adb\n"
                                  << "29.0.6-debian";
    QTest::newRow("platform-tools") << "Android Debug Bridge version 1.0.41\r\nVersion 35.0.2-12147458\r\n"
                                    << "35.0.2-12147458";
    QTest::newRow("older, protocol version only") << "Android Debug Bridge version 1.0.39\n" << "1.0.39";
    QTest::newRow("nothing readable") << "adb: usage: unknown command version\n" << "";
    QTest::newRow("empty") << "" << "";
}

void TextRulesTest::adbVersion()
{
    QFETCH(QString, output);
    QFETCH(QString, version);
    QCOMPARE(::adbVersion(output), version);
}

void TextRulesTest::pairingRefusal_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("refused");
    QTest::newRow("adb 29") << "adb: unknown command pair" << true;
    QTest::newRow("paired") << "Successfully paired to 10.0.0.5:37000 [guid=adb-XYZ]" << false;
    QTest::newRow("wrong code") << "Failed: Wrong password or connection was dropped." << false;
    QTest::newRow("unreachable") << "Failed: Unable to start pairing client." << false;
}

void TextRulesTest::pairingRefusal()
{
    QFETCH(QString, answer);
    QFETCH(bool, refused);
    QCOMPARE(adbLacksPairing(answer), refused);
}

void TextRulesTest::processIoText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<OptionalIo>("counters");
    QTest::newRow("kernel's layout")
        << QByteArray("rchar: 209715263\nwchar: 200013321\nsyscr: 3210\nsyscw: 3207\nread_bytes: 0\n"
                      "write_bytes: 0\ncancelled_write_bytes: 0\n")
        << OptionalIo(ProcessIo{209715263, 200013321});
    QTest::newRow("beyond 32 bits") << QByteArray("rchar: 1073741824000\nwchar: 5000000000\n")
                                    << OptionalIo(ProcessIo{1073741824000LL, 5000000000LL});
    QTest::newRow("other order, no final newline") << QByteArray("syscr: 1\nwchar: 7\nrchar: 9")
                                                   << OptionalIo(ProcessIo{9, 7});
    QTest::newRow("zero") << QByteArray("rchar: 0\nwchar: 0\n") << OptionalIo(ProcessIo{0, 0});
    QTest::newRow("write_bytes is not wchar") << QByteArray("rchar: 5\nwrite_bytes: 4096\n") << OptionalIo();
    QTest::newRow("wchar missing") << QByteArray("rchar: 5\nsyscw: 1\n") << OptionalIo();
    QTest::newRow("not a number") << QByteArray("rchar: many\nwchar: 1\n") << OptionalIo();
    QTest::newRow("negative") << QByteArray("rchar: -5\nwchar: 1\n") << OptionalIo();
    QTest::newRow("empty") << QByteArray() << OptionalIo();
}

void TextRulesTest::processIoText()
{
    QFETCH(QByteArray, text);
    QFETCH(OptionalIo, counters);
    QCOMPARE(parseProcessIo(text), counters);
}
