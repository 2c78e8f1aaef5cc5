// The bridge's test executable: several test classes, one application object.
#include "OperationsTest.h"
#include "PhoneTest.h"
#include "RealAdbTest.h"
#include "RunnerTest.h"
#include "TextRulesTest.h"

#include <QCoreApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TextRulesTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        RunnerTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        OperationsTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        RealAdbTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        PhoneTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}
