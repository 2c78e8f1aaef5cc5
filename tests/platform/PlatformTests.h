#pragma once

// Each test class of the platform executable, run in turn by main.cpp.
int runPlatformTests(int argc, char **argv);
int runTrashTests(int argc, char **argv);
int runEjectorTests(int argc, char **argv);
