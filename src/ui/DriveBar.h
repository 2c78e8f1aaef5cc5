#pragma once

#include "drives/DriveInfo.h"

#include <QWidget>

class AppModel;
class IconLabel;
class QHBoxLayout;
class QScrollArea;
class QToolButton;

// The computer pane's header: one chip per external drive (open it, eject it) and, while the
// pane's folder lies on a read-only drive, a warning line. Takes no space without drives.
class DriveBar : public QWidget
{
    Q_OBJECT

public:
    explicit DriveBar(AppModel *model, QWidget *parent = nullptr);

    // The warning shown for a folder on a read-only drive of this format.
    static QString readOnlyWarning(const QString &format);
    // The chip's help text: capacity, and for a read-only drive its explanation.
    static QString chipToolTip(const DriveInfo &drive);

    IconLabel *warning() const { return m_warning; }
    // The chips' main buttons, in drive order.
    QList<QToolButton *> chipButtons() const { return m_chipButtons; }
    QList<QToolButton *> ejectButtons() const { return m_ejectButtons; }

private:
    void rebuild();
    void refreshWarning();

    AppModel *m_model;
    QScrollArea *m_scroll;
    QWidget *m_row;
    QHBoxLayout *m_rowLayout;
    IconLabel *m_warning;
    QList<QToolButton *> m_chipButtons;
    QList<QToolButton *> m_ejectButtons;
};
