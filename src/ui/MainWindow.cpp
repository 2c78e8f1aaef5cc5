#include "ui/MainWindow.h"

#include "model/AppModel.h"
#include "model/transfer/TransferListModel.h"
#include "platform/Platform.h"
#include "ui/AdbMissingView.h"
#include "ui/DriveBar.h"
#include "ui/FilePane.h"
#include "ui/Icons.h"
#include "ui/PhoneInfoView.h"
#include "ui/Popover.h"
#include "ui/Prompts.h"
#include "ui/QuickLinks.h"
#include "ui/SetupGuideView.h"
#include "ui/Spinner.h"
#include "ui/StorageSwitcher.h"
#include "ui/Texts.h"
#include "ui/TransfersView.h"
#include "ui/WirelessView.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <QCoro/QCoroTask>

namespace {

// Where the transfer buttons start, below the top of the panes.
constexpr int kTransferButtonsTop = 96;

QFrame *line(QFrame::Shape shape, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

// Runs a model task nobody awaits, kept alive until it finishes.
void start(QObject *context, QCoro::Task<> task)
{
    QCoro::connect(std::move(task), context, [] {});
}

QCoro::Task<> rescanAll(AppModel *model)
{
    co_await model->refreshDevices();
    co_await model->reloadAndroid(true);
    model->reloadMac();
}

} // namespace

MainWindow::MainWindow(AppModel *model, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_region(new QStackedWidget(this)),
      m_adbMissing(new AdbMissingView(this)), m_setupGuide(new SetupGuideView(model, this)),
      m_jobs(new TransferListModel(model, this))
{
    setWindowTitle(QStringLiteral("Tessary"));
    setMinimumSize(860, 520);
    resize(1000, 640);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_browser = buildBrowser();
    m_region->addWidget(m_adbMissing);
    m_region->addWidget(m_setupGuide);
    m_region->addWidget(m_browser);
    layout->addWidget(m_region, 1);
    m_transfersDivider = line(QFrame::HLine, central);
    layout->addWidget(m_transfersDivider);
    m_transfers = new TransfersView(m_jobs, [this](const QModelIndex &index) { return m_jobs->jobAt(index.row()); }, central);
    layout->addWidget(m_transfers);
    setCentralWidget(central);

    connect(m_transfers, &TransfersView::cancelAllRequested, model, &AppModel::cancelAllTransfers);
    connect(m_transfers, &TransfersView::clearFinishedRequested, model, &AppModel::clearFinishedTransfers);
    connect(m_transfers, &TransfersView::cancelRequested, model, &AppModel::cancelTransfer);
    connect(m_transfers, &TransfersView::retryRequested, model, &AppModel::retryTransfer);

    m_wirelessView = new WirelessView;
    m_wirelessPopover = new Popover(m_wirelessView, this);
    m_infoView = new PhoneInfoView(model);
    m_infoPopover = new Popover(m_infoView, this);

    buildToolbar();

    connect(m_setupGuide, &SetupGuideView::scanRequested, this, [this] { start(this, m_model->refreshDevices()); });
    connect(m_setupGuide, &SetupGuideView::wirelessRequested, this, &MainWindow::showWireless);

    m_prompts = new Prompts(model, this);
    connect(m_prompts, &Prompts::moveConfirmed, model, &AppModel::confirmMove);
    connect(m_prompts, &Prompts::backupConfirmed, model, &AppModel::confirmBackup);
    connect(m_wirelessView, &WirelessView::pairRequested, this,
            [this](const QString &address, const QString &code) { start(this, m_model->pairWireless(address, code)); });
    connect(m_wirelessView, &WirelessView::connectRequested, this,
            [this](const QString &address) { start(this, m_model->connectWireless(address)); });
    model->setApkPicker([this](const QString &prompt) {
        // Opens where the computer pane is, which is where a downloaded package usually sits.
        return QFileDialog::getOpenFileNames(this, prompt, m_model->macPath(),
                                             QStringLiteral("Android packages (*.apk)"));
    });

    connect(model, &AppModel::adbMissingChanged, this, &MainWindow::refreshRegion);
    connect(model, &AppModel::devicesChanged, this, [this] {
        refreshRegion();
        refreshDevices();
        refreshPhonePane();
        refreshTransferButtons();
        // The open information popover reads the phone as soon as it can answer.
        const std::optional<AndroidDevice> ready = m_model->readyDevice();
        const std::optional<PhoneInfo> info = m_model->phoneInfo();
        if (m_infoPopover->isVisible() && ready && (!info || info->serial != ready->serial))
            start(this, m_model->loadPhoneInfo());
    });
    connect(model, &AppModel::selectedSerialChanged, this, [this] {
        refreshDevices();
        refreshPhonePane();
        refreshTransferButtons();
    });
    connect(model, &AppModel::macPathChanged, this, &MainWindow::refreshMacPane);
    connect(model, &AppModel::macItemsChanged, this, &MainWindow::refreshMacPane);
    connect(model, &AppModel::macErrorChanged, this, &MainWindow::refreshMacPane);
    connect(model, &AppModel::macSelectionChanged, this, [this] {
        m_macPane->setSelection(m_model->macSelection());
        refreshTransferButtons();
    });
    connect(model, &AppModel::androidPathChanged, this, &MainWindow::refreshPhonePane);
    connect(model, &AppModel::androidItemsChanged, this, &MainWindow::refreshPhonePane);
    connect(model, &AppModel::androidErrorChanged, this, &MainWindow::refreshPhonePane);
    connect(model, &AppModel::androidLoadingChanged, this, &MainWindow::refreshPhonePane);
    connect(model, &AppModel::storagesChanged, this, &MainWindow::refreshPhonePane);
    connect(model, &AppModel::androidSelectionChanged, this, [this] {
        m_phonePane->setSelection(m_model->androidSelection());
        refreshTransferButtons();
    });
    connect(model, &AppModel::transfersChanged, this, &MainWindow::refreshTransfersPanel);
    connect(model, &AppModel::scanningBackupChanged, this, &MainWindow::refreshBackupControl);
    connect(model, &AppModel::showHiddenChanged, this, [this] { m_hidden->setChecked(m_model->showHidden()); });

    refreshRegion();
    refreshDevices();
    refreshMacPane();
    refreshPhonePane();
    refreshTransferButtons();
    refreshTransfersPanel();
}

MainWindow::Region MainWindow::region() const
{
    if (m_region->currentWidget() == m_adbMissing)
        return Region::adbMissing;
    if (m_region->currentWidget() == m_setupGuide)
        return Region::setupGuide;
    return Region::browser;
}

QWidget *MainWindow::buildBrowser()
{
    auto *browser = new QWidget(this);
    auto *row = new QHBoxLayout(browser);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    FilePaneActions mac;
    mac.onQuickLink = [this](const QString &path) { m_model->openMac(path); };
    mac.onUp = [this] {
        const QString parent = QFileInfo(m_model->macPath()).dir().absolutePath();
        m_model->setMacPath(parent);
        m_model->reloadMac();
    };
    mac.onRefresh = [this] { m_model->reloadMac(); };
    mac.onOpen = [this](const QString &path) { m_model->openMac(path); };
    mac.onNewFolder = [this](const QString &name) { m_model->newMacFolder(name); };
    mac.onRename = [this](const FileEntry &entry, const QString &name) { m_model->renameMac(entry.path, name); };
    mac.onDelete = [this](const QStringList &paths) { m_model->trashMac(paths); };
    mac.onReveal = [this] { Platform::instance().launcher().open(QUrl::fromLocalFile(m_model->macPath())); };
    mac.onRevealItems = [](const QStringList &paths) { Platform::instance().fileBrowser().reveal(paths); };
    mac.errorActionTitle = QStringLiteral("Open Full Disk Access Settings");
    mac.onErrorAction = [this] { m_model->openFullDiskAccessSettings(); };
    mac.onCopyToOther = [this](const QStringList &paths) {
        m_model->enqueue(paths, TransferJob::Kind::toAndroid, m_model->androidPath(), false);
    };
    mac.onMoveToOther = [this](const QStringList &paths) { m_model->requestMove(true, paths); };
    mac.onQuickLookItem = [this](const QString &path) { m_model->quickLookMac(path); };
    mac.makeDrag = [this](const FileEntry &entry, const QSet<QString> &selection) { return m_model->macProvider(entry, selection); };
    mac.onDropOnRow = [this](const QMimeData *data, const FileEntry &entry) { m_model->handleRowDrop(data, entry, DragSide::mac); };
    mac.onDropOnPane = [this](const QMimeData *data) { return m_model->handleDrop(data, DragSide::mac); };
    m_macPane = new FilePane(FilePane::Side::mac, std::move(mac), browser);
    m_macPane->setTitle(QStringLiteral("This Mac"));
    m_macPane->setIcon(QStringLiteral("laptopcomputer"));
    m_macPane->setQuickLinks(QuickLinks::computerForCurrentUser());
    m_macPane->setHeaderAccessory(new DriveBar(m_model, m_macPane));
    connect(m_macPane, &FilePane::selectionEdited, m_model, &AppModel::setMacSelection);

    FilePaneActions phone;
    phone.onQuickLink = [this](const QString &path) { m_model->goAndroid(path); };
    phone.onUp = [this] { m_model->androidUp(); };
    phone.onRefresh = [this] { start(this, m_model->reloadAndroid(true)); };
    phone.onOpen = [this](const QString &path) { m_model->openAndroid(path); };
    phone.onNewFolder = [this](const QString &name) { m_model->newAndroidFolder(name); };
    phone.onRename = [this](const FileEntry &entry, const QString &name) { m_model->renameAndroid(entry.path, name); };
    phone.onDelete = [this](const QStringList &paths) { m_model->deleteAndroid(paths); };
    phone.onCopyToOther = [this](const QStringList &paths) {
        m_model->enqueue(paths, TransferJob::Kind::toMac, m_model->macPath(), false);
    };
    phone.onMoveToOther = [this](const QStringList &paths) { m_model->requestMove(false, paths); };
    phone.onQuickLookItem = [this](const QString &path) { m_model->quickLookAndroid(path); };
    phone.makeDrag = [this](const FileEntry &entry, const QSet<QString> &selection) { return m_model->androidProvider(entry, selection); };
    phone.onDropOnRow = [this](const QMimeData *data, const FileEntry &entry) { m_model->handleRowDrop(data, entry, DragSide::android); };
    phone.onDropOnPane = [this](const QMimeData *data) { return m_model->handleDrop(data, DragSide::android); };
    m_phonePane = new FilePane(FilePane::Side::android, std::move(phone), browser);
    m_phonePane->setIcon(QStringLiteral("smartphone"));
    m_phonePane->setHeaderAccessory(new StorageSwitcher(m_model, m_phonePane));
    connect(m_phonePane, &FilePane::selectionEdited, m_model, &AppModel::setAndroidSelection);

    row->addWidget(m_macPane, 1);
    row->addWidget(line(QFrame::VLine, browser));
    row->addWidget(buildButtonColumn());
    row->addWidget(line(QFrame::VLine, browser));
    row->addWidget(m_phonePane, 1);
    return browser;
}

QWidget *MainWindow::buildButtonColumn()
{
    auto *column = new QWidget(this);
    column->setObjectName(QStringLiteral("transferButtons"));
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(8);
    // A fixed distance from the top of the panes, whatever their height: the buttons stay
    // under the pointer when the transfers panel opens or closes.
    layout->addSpacing(kTransferButtonsTop);
    struct Spec
    {
        const char *icon;
        const char *help;
    };
    const Spec specs[] = {
        {"arrow.right.circle.fill", "Copy selected Mac files to the phone"},
        {"arrow.right.to.line.circle", "Move selected Mac files to the phone (originals go to the Trash)"},
        {"arrow.left.to.line.circle", "Move selected phone files to this Mac (originals are deleted from the phone)"},
        {"arrow.left.circle.fill", "Copy selected phone files to this Mac folder"},
    };
    for (int i = 0; i < 4; ++i) {
        if (i == 2) {
            auto *divider = line(QFrame::HLine, column);
            divider->setFixedWidth(28);
            layout->addWidget(divider, 0, Qt::AlignHCenter);
        }
        auto *button = new QToolButton(column);
        button->setAutoRaise(true);
        button->setIcon(Icons::icon(QString::fromLatin1(specs[i].icon)));
        button->setIconSize(QSize(26, 26));
        button->setToolTip(QString::fromUtf8(specs[i].help));
        button->setAccessibleName(QString::fromUtf8(specs[i].help));
        layout->addWidget(button, 0, Qt::AlignHCenter);
        m_transferButtons << button;
    }
    layout->addStretch(1);
    connect(m_transferButtons[0], &QToolButton::clicked, m_model, &AppModel::sendSelectedToAndroid);
    connect(m_transferButtons[1], &QToolButton::clicked, this, [this] { m_model->requestMove(true); });
    connect(m_transferButtons[2], &QToolButton::clicked, this, [this] { m_model->requestMove(false); });
    connect(m_transferButtons[3], &QToolButton::clicked, m_model, &AppModel::getSelectedFromAndroid);
    return column;
}

void MainWindow::buildToolbar()
{
    auto *toolbar = addToolBar(QStringLiteral("Toolbar"));
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(18, 18));
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);

    m_picker = new QComboBox(toolbar);
    m_picker->setMinimumWidth(180);
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_picker->setToolTip(QStringLiteral("Device"));
    m_picker->setAccessibleName(QStringLiteral("Device"));
    m_pickerAction = toolbar->addWidget(m_picker);
    connect(m_picker, &QComboBox::activated, this, [this](int index) {
        const QString serial = m_picker->itemData(index).toString();
        if (m_model->selectedSerial() != serial)
            m_model->setSelectedSerial(serial);
    });

    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);

    auto action = [&](const QString &symbol, const QString &help) {
        QAction *a = toolbar->addAction(Icons::icon(symbol), Texts::buttonText(help));
        a->setToolTip(help);
        return a;
    };
    m_backup = action(QStringLiteral("photo.on.rectangle.angled"), QStringLiteral("Back up camera photos & videos (new files only)"));
    m_backupSpinner = new Spinner(16, toolbar);
    m_backupSpinner->setToolTip(m_backup->toolTip());
    m_backupSpinnerAction = toolbar->addWidget(m_backupSpinner);
    m_install = action(QStringLiteral("square.and.arrow.down.on.square"),
                       QStringLiteral("Install an APK on the phone (you can also drop .apk files on the phone pane)"));
    m_screenshot = action(QStringLiteral("camera.viewfinder"),
                          QStringLiteral("Take a screenshot of the phone screen and save it in the current Mac folder"));
    m_info = action(QStringLiteral("info.circle"), QStringLiteral("Phone info: battery, storage, Android version"));
    m_hidden = action(QStringLiteral("eye"), QStringLiteral("Show hidden files"));
    m_hidden->setCheckable(true);
    m_hidden->setChecked(m_model->showHidden());
    m_wireless = action(QStringLiteral("wifi"), QStringLiteral("Connect over Wi-Fi"));
    m_rescan = action(QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("Rescan devices and refresh both panes (⌘R)"));
    m_rescan->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    m_rescan->setShortcutContext(Qt::WindowShortcut);

    connect(m_hidden, &QAction::toggled, this, [this](bool on) {
        if (on != m_model->showHidden())
            m_model->setShowHidden(on);
    });
    connect(m_wireless, &QAction::triggered, this, &MainWindow::showWireless);
    connect(m_backup, &QAction::triggered, m_model, &AppModel::prepareBackup);
    connect(m_install, &QAction::triggered, m_model, &AppModel::pickAndInstallAPK);
    connect(m_screenshot, &QAction::triggered, m_model, &AppModel::takeScreenshot);
    connect(m_info, &QAction::triggered, this, &MainWindow::showInfo);
    connect(m_rescan, &QAction::triggered, this, &MainWindow::rescan);
}

QList<QAction *> MainWindow::toolbarActions() const
{
    return {m_backup, m_install, m_screenshot, m_info, m_hidden, m_wireless, m_rescan};
}

void MainWindow::showWireless()
{
    QWidget *anchor = nullptr;
    if (auto *toolbar = findChild<QToolBar *>(QStringLiteral("mainToolbar")))
        anchor = toolbar->widgetForAction(m_wireless);
    m_wirelessPopover->showAt(anchor ? anchor : this);
}

void MainWindow::showInfo()
{
    QWidget *anchor = nullptr;
    if (auto *toolbar = findChild<QToolBar *>(QStringLiteral("mainToolbar")))
        anchor = toolbar->widgetForAction(m_info);
    m_infoPopover->showAt(anchor ? anchor : this);
    start(this, m_model->loadPhoneInfo());
}

void MainWindow::rescan()
{
    start(this, rescanAll(m_model));
}

void MainWindow::refreshRegion()
{
    if (m_model->adbMissing())
        m_region->setCurrentWidget(m_adbMissing);
    else if (m_model->devices().isEmpty())
        m_region->setCurrentWidget(m_setupGuide);
    else
        m_region->setCurrentWidget(m_browser);
}

void MainWindow::refreshDevices()
{
    const QList<AndroidDevice> devices = m_model->devices();
    m_picker->clear();
    for (const AndroidDevice &device : devices)
        m_picker->addItem(device.displayName(), device.serial);
    const std::optional<QString> selected = m_model->selectedSerial();
    m_picker->setCurrentIndex(selected ? m_picker->findData(*selected) : -1);
    m_pickerAction->setVisible(!devices.isEmpty());

    const bool hasDevice = m_model->selectedDevice().has_value();
    for (QAction *deviceAction : {m_install, m_screenshot, m_info})
        deviceAction->setVisible(hasDevice);
    if (!hasDevice)
        m_infoPopover->hide();
    refreshBackupControl();
}

void MainWindow::refreshBackupControl()
{
    const bool hasDevice = m_model->selectedDevice().has_value();
    const bool scanning = m_model->scanningBackup();
    m_backup->setEnabled(!scanning);
    m_backup->setVisible(hasDevice && !scanning);
    m_backupSpinnerAction->setVisible(hasDevice && scanning);
}

void MainWindow::refreshMacPane()
{
    m_macPane->setPathText(m_model->macPath());
    m_macPane->setItems(m_model->macItems());
    m_macPane->setSelection(m_model->macSelection());
    m_macPane->setErrorText(m_model->macError());
    m_macPane->setCanGoUp(m_model->macPath() != QLatin1String("/"));
}

void MainWindow::refreshPhonePane()
{
    const std::optional<AndroidDevice> device = m_model->selectedDevice();
    m_phonePane->setTitle(device ? device->displayName() : QStringLiteral("Android"));
    m_phonePane->setPathText(m_model->androidPath());
    m_phonePane->setItems(m_model->androidItems());
    m_phonePane->setSelection(m_model->androidSelection());
    m_phonePane->setLoading(m_model->androidLoading());
    m_phonePane->setErrorText(Texts::phonePaneError(device ? std::optional(device->state) : std::nullopt,
                                                    m_model->androidError()));
    m_phonePane->setCanGoUp(!m_model->isAtStorageRoot());
    m_phonePane->setQuickLinks(QuickLinks::phone(m_model->activeStorage()));
}

void MainWindow::refreshTransferButtons()
{
    const bool ready = m_model->readyDevice().has_value();
    const bool fromMac = ready && !m_model->macSelection().isEmpty();
    const bool fromPhone = ready && !m_model->androidSelection().isEmpty();
    m_transferButtons[0]->setEnabled(fromMac);
    m_transferButtons[1]->setEnabled(fromMac);
    m_transferButtons[2]->setEnabled(fromPhone);
    m_transferButtons[3]->setEnabled(fromPhone);
}

void MainWindow::refreshTransfersPanel()
{
    const bool any = !m_model->transfers().isEmpty();
    m_transfers->setVisible(any);
    m_transfersDivider->setVisible(any);
    m_transfers->setHasActiveTransfers(m_model->hasActiveTransfers());
}
