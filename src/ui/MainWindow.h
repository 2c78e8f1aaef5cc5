#pragma once

#include <QMainWindow>

class AppModel;
class AdbMissingView;
class FilePane;
class Popover;
class PhoneInfoView;
class Prompts;
class QAction;
class QComboBox;
class QStackedWidget;
class QToolButton;
class SetupGuideView;
class Spinner;
class TransferListModel;
class TransfersView;
class WirelessView;

// The main window: the toolbar, the main region (missing adb, setup guide, or both panes
// with the transfer buttons between them), the transfers panel from the first transfer on,
// and the model's alerts. Everything shown comes from the model; every control calls it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(AppModel *model, QWidget *parent = nullptr);

    enum class Region { adbMissing, setupGuide, browser };
    Region region() const;

    FilePane *macPane() const { return m_macPane; }
    FilePane *phonePane() const { return m_phonePane; }
    SetupGuideView *setupGuide() const { return m_setupGuide; }
    TransfersView *transfersView() const { return m_transfers; }
    Prompts *prompts() const { return m_prompts; }
    QComboBox *devicePicker() const { return m_picker; }
    QAction *devicePickerAction() const { return m_pickerAction; }
    // The toolbar's trailing controls, in order: backup, install, screenshot, info,
    // show hidden, Wi-Fi, rescan; and the spinner that replaces backup while it scans.
    QList<QAction *> toolbarActions() const;
    QAction *backupSpinnerAction() const { return m_backupSpinnerAction; }
    QAction *rescanAction() const { return m_rescan; }
    // The four transfer buttons, left to right in the column: copy and move to the phone,
    // move and copy to this computer.
    QList<QToolButton *> transferButtons() const { return m_transferButtons; }
    Popover *wirelessPopover() const { return m_wirelessPopover; }
    Popover *infoPopover() const { return m_infoPopover; }

    // Opens the Wi-Fi popover at its toolbar button (also the setup guide's button).
    void showWireless();
    void showInfo();

private:
    QWidget *buildBrowser();
    QWidget *buildButtonColumn();
    void buildToolbar();
    void refreshRegion();
    void refreshDevices();
    void refreshMacPane();
    void refreshPhonePane();
    void refreshTransferButtons();
    void refreshTransfersPanel();
    void refreshBackupControl();
    void rescan();

    AppModel *m_model;
    QStackedWidget *m_region;
    AdbMissingView *m_adbMissing;
    SetupGuideView *m_setupGuide;
    QWidget *m_browser;
    FilePane *m_macPane;
    FilePane *m_phonePane;
    QList<QToolButton *> m_transferButtons;
    TransferListModel *m_jobs;
    TransfersView *m_transfers;
    QWidget *m_transfersDivider;
    Prompts *m_prompts;

    QComboBox *m_picker;
    QAction *m_pickerAction;
    QAction *m_backup;
    Spinner *m_backupSpinner;
    QAction *m_backupSpinnerAction;
    QAction *m_install;
    QAction *m_screenshot;
    QAction *m_info;
    QAction *m_hidden;
    QAction *m_wireless;
    QAction *m_rescan;
    Popover *m_wirelessPopover;
    Popover *m_infoPopover;
    WirelessView *m_wirelessView;
    PhoneInfoView *m_infoView;
};
