#pragma once

#include <QWidget>

class AppModel;
class QHBoxLayout;
class QPushButton;

// The phone pane's header: one button per storage volume; the active one is tinted, and
// choosing one shows that volume's root.
class StorageSwitcher : public QWidget
{
    Q_OBJECT

public:
    explicit StorageSwitcher(AppModel *model, QWidget *parent = nullptr);

    QList<QPushButton *> buttons() const { return m_buttons; }

private:
    void rebuild();
    void refreshActive();

    AppModel *m_model;
    QHBoxLayout *m_layout;
    QList<QPushButton *> m_buttons;
};
