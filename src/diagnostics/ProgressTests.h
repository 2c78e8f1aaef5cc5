#pragma once

#include <QCoro/QCoroTask>

// The progress self-test ("--selftest-progress"): checks the meter arithmetic, the phone
// size parser, the pull destination rule and local sizes, then watches a file grow. Needs
// no phone. Returns 0 when every check passed, 1 otherwise.
namespace ProgressTests {

QCoro::Task<int> run();

}
