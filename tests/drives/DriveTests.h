#pragma once

// Each test class of the drives executable, run in turn by main.cpp.
int runByteCountTests(int argc, char **argv);
int runDriveRulesTests(int argc, char **argv);
int runMountTableTests(int argc, char **argv);
int runRealMountTests(int argc, char **argv);
int runFuseProbeTests(int argc, char **argv);
