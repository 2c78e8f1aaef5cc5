#include "ui/AdbMissingView.h"

AdbMissingView::AdbMissingView(QWidget *parent) : UnavailablePanel(parent)
{
    setContent(QStringLiteral("exclamationmark.triangle"), QStringLiteral("adb not found"),
               QStringLiteral("Tessary needs Android's adb tool. Run build.sh to bundle it into the app, or install it with:\n\nbrew install android-platform-tools"));
    setDescriptionSelectable(true);
}
