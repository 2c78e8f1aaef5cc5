#pragma once

#include <QWidget>

class AppModel;
class QVBoxLayout;

// The phone information popover: maker and model, Android version, serial, battery,
// temperature and one block per storage volume; a spinner until the model has read them.
class PhoneInfoView : public QWidget
{
    Q_OBJECT

public:
    explicit PhoneInfoView(AppModel *model, QWidget *parent = nullptr);

    // The label–value rows as shown, e.g. {"Android", "14"}; for tests and accessibility.
    QList<QPair<QString, QString>> rows() const { return m_rows; }

private:
    void rebuild();

    AppModel *m_model;
    QVBoxLayout *m_layout;
    QList<QPair<QString, QString>> m_rows;
};
