#pragma once

#include <QPointer>
#include <QStringList>

#include <QCoro/QCoroTask>

class AppModel;

// Installs the APKs Tessary was started with ("Open With Tessary"), the way the install
// button does: one install row each on the selected phone, or the button's refusal when no
// phone is ready. The phones are listed first, since a fresh start has not listed them yet
// and a running one may not have seen a phone plugged in a moment ago. Never throws.
QCoro::Task<> installOpenedApks(QPointer<AppModel> model, QStringList apks);
