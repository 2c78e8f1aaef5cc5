#include "UiTests.h"

#include "ui/Icons.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Icons::installTheme();
    int status = 0;
    status |= runTextsTests(argc, argv);
    status |= runFilePaneTests(argc, argv);
    status |= runTransferRowTests(argc, argv);
    status |= runMainWindowTests(argc, argv);
    status |= runWindowActionsTests(argc, argv);
    status |= runRevealItemsTests(argc, argv);
    status |= runPhoneDragTests(argc, argv);
    status |= runPromptAnswersTests(argc, argv);
    status |= runPlainNamesTests(argc, argv);
    status |= runFailureTextsTests(argc, argv);
    status |= runPhoneStatesTests(argc, argv);
    status |= runWindowLayoutTests(argc, argv);
    status |= runKeyboardTests(argc, argv);
    status |= runAccessibilityTests(argc, argv);
    return status;
}
