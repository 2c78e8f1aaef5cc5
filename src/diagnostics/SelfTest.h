#pragma once

#include <QCoro/QCoroTask>

// The device self-test ("--selftest"): exercises the device bridge end to end against the
// first ready phone (listing, storage, phone information, screenshot, pushes and pulls of
// awkward names, the naming rules, rename, delete, cancelling a running push), printing one
// line per check. It leaves nothing behind on the phone or the computer. Returns 0 when
// every check passed, 1 otherwise.
namespace SelfTest {

QCoro::Task<int> run();

}
