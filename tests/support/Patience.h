#pragma once

// How long a test waits for an outcome before it calls it missing. An outcome that comes ends
// the wait at once, so this costs nothing on a quick machine, and it is long enough for one
// that other work keeps busy (adb, the phone emulator and the sanitizers all crawl then).
constexpr int kPatienceMs = 60000;
