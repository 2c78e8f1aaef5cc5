#include "ModelTests.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    status |= runPanePathTests(argc, argv);
    status |= runComputerPaneTests(argc, argv);
    status |= runDrivesModelTests(argc, argv);
    status |= runPhoneModelTests(argc, argv);
    status |= runNameGuardTests(argc, argv);
    status |= runPhoneNamesTests(argc, argv);
    status |= runPhoneReturnTests(argc, argv);
    status |= runWirelessPairingTests(argc, argv);
    status |= runStartFolderTests(argc, argv);
    status |= runDriveKindsTests(argc, argv);
    return status;
}
