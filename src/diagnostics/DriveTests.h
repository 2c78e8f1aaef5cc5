#pragma once

#include <QCoro/QCoroTask>

// The drive self-test ("--selftest-drives"): checks the pure drive rules, then creates,
// mounts, inspects, ejects and re-mounts read-only a real exFAT disk image. Mounting needs
// udisks in a desktop session or root. Returns 0 when every check passed, 1 otherwise.
namespace DriveTests {

QCoro::Task<int> run();

}
