#include "diagnostics/ReopenTest.h"
#include "diagnostics/SelfTestDispatch.h"
#include "model/AppModel.h"
#include "platform/Attention.h"
#include "platform/Platform.h"
#include "ui/Icons.h"
#include "ui/LaunchArguments.h"
#include "ui/MainWindow.h"
#include "ui/OpenedApks.h"
#include "ui/PreviewWindow.h"
#include "ui/SingleInstance.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdio>
#include <cstring>

namespace {

const QString kAppId = QStringLiteral("com.quorvane.Tessary");

bool isSelfTestRun(const QStringList &arguments)
{
    for (const QString &flag : {QStringLiteral("--selftest"), QStringLiteral("--selftest-drives"),
                                QStringLiteral("--selftest-progress")})
        if (arguments.contains(flag))
            return true;
    return false;
}

// The installed icon theme's, so a theme can restyle it; the built-in copy of the same
// drawing where none is installed.
QIcon applicationIcon()
{
    return QIcon::fromTheme(kAppId, QIcon(QStringLiteral(":/tessary/%1.svg").arg(kAppId)));
}

// Shows the window again: restored when minimised, in front and focused.
void bringBack(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the window toolkit starts, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Tessary %s\n", TESSARY_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessary"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));
    // The desktop entry's name: the desktop matches the window and its launcher by it.
    QApplication::setDesktopFileName(kAppId);
    // Closing the window leaves the application, its transfers and its state running.
    QApplication::setQuitOnLastWindowClosed(false);
    Icons::installTheme();
    QApplication::setWindowIcon(applicationIcon());

    // `tessary --preview FILE`: the preview child the window starts for one file.
    if (const qsizetype at = app.arguments().indexOf(QStringLiteral("--preview"));
        at >= 0 && at + 1 < app.arguments().size()) {
        PreviewWindow preview(app.arguments().at(at + 1));
        preview.show();
        QApplication::setQuitOnLastWindowClosed(true);
        return app.exec();
    }

    const QStringList apks = apksToInstall(app.arguments(), QDir::currentPath());
    const bool selfTestRun = isSelfTestRun(app.arguments());
    const bool reopenTestRun = qEnvironmentVariableIsSet("REOPENTEST");
    SingleInstance instance(SingleInstance::defaultPath());
    if (!selfTestRun && !reopenTestRun && instance.handOver(apks))
        return 0;
    // A self-test run never answers for the window. The reopen test does, since its own
    // second start must come back to it; listen() never takes a running Tessary's socket.
    if (!selfTestRun)
        instance.listen();

    AppModel model;
    MainWindow window(&model);

    auto *quit = new QAction(QStringLiteral("Quit Tessary"), &window);
    quit->setShortcut(QKeySequence::Quit);
    quit->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    window.addAction(quit);

    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] { bringBack(&window); });
    QObject::connect(&instance, &SingleInstance::installRequested, &model,
                     [&model](const QStringList &requested) { installOpenedApks(&model, requested); });
    Platform::instance().setAttention(std::make_unique<CallbackAttention>([&window] { QApplication::alert(&window); }));
    ReopenTest::setWindowHooks({
        [&window] { return window.isVisible() ? 1 : 0; },
        [&window] { window.close(); },
    });

    std::unique_ptr<QSystemTrayIcon> tray;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
        tray->setToolTip(QStringLiteral("Tessary"));
        auto *menu = new QMenu(&window);
        menu->addAction(QStringLiteral("Show Tessary"), &window, [&window] { bringBack(&window); });
        menu->addSeparator();
        menu->addAction(quit);
        tray->setContextMenu(menu);
        QObject::connect(tray.get(), &QSystemTrayIcon::activated, &window, [&window](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                bringBack(&window);
        });
        tray->show();
    }

    window.show();
    if (!apks.isEmpty())
        installOpenedApks(&model, apks);
    SelfTest::dispatch(app.arguments());
    return app.exec();
}
