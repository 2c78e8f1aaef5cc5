#pragma once

// Ends the process at once with a self-test's exit status, once its report is written out.
// The window, the model's tasks and their adb children are left as they are: tearing them
// down first could only delay or garble the verdict.
[[noreturn]] void endProcess(int status);
