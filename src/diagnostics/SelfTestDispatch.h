#pragma once

#include <QStringList>

namespace SelfTest {

// Reads the command line once at start-up: each of "--selftest-drives",
// "--selftest-progress" and "--selftest" (whole arguments only) starts its self-test as a
// task on the main thread beside the window; the first test to finish ends the process with
// its exit status. Then starts the window-reopen test when the environment asks for it.
void dispatch(const QStringList &arguments);

}
