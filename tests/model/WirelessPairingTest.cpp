#include "ModelTests.h"

#include "PhoneFixture.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"

#include <QRegularExpression>
#include <QTest>

#include <QCoro/QCoroTask>

// Pairing with the adb this computer has. Debian's adb (29) predates wireless pairing and
// only answers "adb: unknown command pair"; the user is told what is missing instead.
class WirelessPairingTest : public QObject
{
    Q_OBJECT
private slots:
    void tooOldAdbIsNamedWithItsVersion();
};

void WirelessPairingTest::tooOldAdbIsNamedWithItsVersion()
{
    PhoneFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.errorString()));
    ADB::shared().setCandidatesForTesting({fixture.adbPath()});
    const AdbRun version = fixture.adb({QStringLiteral("version")});
    const QRegularExpressionMatch release =
        QRegularExpression(QStringLiteral("^Version (\\S+)"), QRegularExpression::MultilineOption).match(version.output);
    QVERIFY2(release.hasMatch(), qPrintable(version.output));
    if (release.captured(1).section(QLatin1Char('.'), 0, 0).toInt() >= 30)
        QSKIP("this adb knows how to pair");

    AppModel model;
    QCoro::waitFor(model.pairWireless(QStringLiteral("127.0.0.1:1"), QStringLiteral("123456")));
    QCOMPARE(model.message(),
             QStringLiteral("Pairing needs adb 30 or newer, and the adb found at ") + fixture.adbPath()
                 + QStringLiteral(" is version ") + release.captured(1)
                 + QStringLiteral(". Install a newer adb (Android SDK Platform-Tools) to pair a phone; "
                                  "connecting to an address still works with this one."));
}

int runWirelessPairingTests(int argc, char **argv)
{
    WirelessPairingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WirelessPairingTest.moc"
