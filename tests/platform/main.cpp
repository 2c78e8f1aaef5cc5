#include "PlatformTests.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    status |= runPlatformTests(argc, argv);
    status |= runTrashTests(argc, argv);
    status |= runEjectorTests(argc, argv);
    return status;
}
