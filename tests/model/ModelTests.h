#pragma once

// Each test class of the model executable, run in turn by main.cpp.
int runPanePathTests(int argc, char **argv);
int runComputerPaneTests(int argc, char **argv);
int runDrivesModelTests(int argc, char **argv);
int runPhoneModelTests(int argc, char **argv);
int runNameGuardTests(int argc, char **argv);
int runPhoneNamesTests(int argc, char **argv);
int runPhoneReturnTests(int argc, char **argv);
int runWirelessPairingTests(int argc, char **argv);
int runStartFolderTests(int argc, char **argv);
int runDriveKindsTests(int argc, char **argv);
