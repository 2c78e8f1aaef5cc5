#include "DriveTests.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    status |= runByteCountTests(argc, argv);
    status |= runDriveRulesTests(argc, argv);
    status |= runMountTableTests(argc, argv);
    status |= runRealMountTests(argc, argv);
    status |= runFuseProbeTests(argc, argv);
    return status;
}
