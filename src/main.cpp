#include "diagnostics/ReopenTest.h"
#include "diagnostics/SelfTestDispatch.h"
#include "model/AppModel.h"
#include "platform/Attention.h"
#include "platform/Platform.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/SingleInstance.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

// The self-test modes run in this process whatever else is running.
bool isTestRun(const QStringList &arguments)
{
    for (const QString &flag : {QStringLiteral("--selftest"), QStringLiteral("--selftest-drives"),
                                QStringLiteral("--selftest-progress")})
        if (arguments.contains(flag))
            return true;
    return qEnvironmentVariableIsSet("REOPENTEST");
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessary"));
    QApplication::setDesktopFileName(QStringLiteral("tessary"));
    // Closing the window leaves the application, its transfers and its state running.
    QApplication::setQuitOnLastWindowClosed(false);
    Icons::installTheme();
    QApplication::setWindowIcon(Icons::icon(QStringLiteral("smartphone")));

    // `tessary --preview FILE`: the preview child the window starts for one file.
    if (const qsizetype at = app.arguments().indexOf(QStringLiteral("--preview"));
        at >= 0 && at + 1 < app.arguments().size()) {
        PreviewWindow preview(app.arguments().at(at + 1));
        preview.show();
        QApplication::setQuitOnLastWindowClosed(true);
        return app.exec();
    }

    SingleInstance instance(SingleInstance::defaultName());
    const bool testRun = isTestRun(app.arguments());
    if (!testRun && instance.handOver())
        return 0;
    instance.listen();

    AppModel model;
    MainWindow window(&model);

    auto *quit = new QAction(QStringLiteral("Quit Tessary"), &window);
    quit->setShortcut(QKeySequence::Quit);
    quit->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    window.addAction(quit);

    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] { bringBack(&window); });
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
    SelfTest::dispatch(app.arguments());
    return app.exec();
}
