#include "diagnostics/SelfTestDispatch.h"

#include "diagnostics/CheckLog.h"
#include "diagnostics/DriveTests.h"
#include "diagnostics/EndProcess.h"
#include "diagnostics/ProgressTests.h"
#include "diagnostics/ReopenTest.h"
#include "diagnostics/ResultLine.h"
#include "diagnostics/SelfTest.h"

#include <exception>

namespace SelfTest {

namespace {

QCoro::Task<> runToEnd(QCoro::Task<int> test)
{
    int status = 1;
    try {
        status = co_await std::move(test);
    } catch (const std::exception &error) {
        printLine(resultLine(QStringLiteral("self-test stopped by an unexpected error"), false, QString::fromUtf8(error.what())));
    }
    endProcess(status);
}

}

void dispatch(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--selftest-drives")))
        runToEnd(DriveTests::run());
    if (arguments.contains(QStringLiteral("--selftest-progress")))
        runToEnd(ProgressTests::run());
    if (arguments.contains(QStringLiteral("--selftest")))
        runToEnd(SelfTest::run());
    ReopenTest::runIfRequested();
}

}
