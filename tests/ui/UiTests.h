#pragma once

// Each test class of the window executable, run in turn by main.cpp.
int runTextsTests(int argc, char **argv);
int runFilePaneTests(int argc, char **argv);
int runTransferRowTests(int argc, char **argv);
int runMainWindowTests(int argc, char **argv);
int runWindowActionsTests(int argc, char **argv);
int runRevealItemsTests(int argc, char **argv);
int runPhoneDragTests(int argc, char **argv);
int runPromptAnswersTests(int argc, char **argv);
int runPlainNamesTests(int argc, char **argv);
int runFailureTextsTests(int argc, char **argv);
int runPhoneStatesTests(int argc, char **argv);
int runWindowLayoutTests(int argc, char **argv);
int runKeyboardTests(int argc, char **argv);
int runAccessibilityTests(int argc, char **argv);
