#pragma once

#include <QLabel>

// A one-line, selectable label that drops the head of a text too long for its width
// ("…/DCIM/Camera"); the whole text is its tooltip.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_full; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();
    QString m_full;
};
