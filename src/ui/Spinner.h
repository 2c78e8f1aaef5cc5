#pragma once

#include <QTimer>
#include <QWidget>

// A small spinning progress indicator; it turns only while visible.
class Spinner : public QWidget
{
    Q_OBJECT

public:
    explicit Spinner(int diameter = 16, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_diameter;
    int m_angle = 0;
    QTimer m_timer;
};
