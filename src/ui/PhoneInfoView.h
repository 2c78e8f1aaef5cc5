#pragma once

#include <QWidget>

class AppModel;
class QVBoxLayout;

// The phone information popover: maker and model, Android version, serial, battery,
// temperature and one block per storage volume; a spinner until the model has read them,
// or the reason when the phone cannot answer.
class PhoneInfoView : public QWidget
{
    Q_OBJECT

public:
    explicit PhoneInfoView(AppModel *model, QWidget *parent = nullptr);

    // The label–value rows as shown, e.g. {"Android", "14"}; for tests and accessibility.
    QList<QPair<QString, QString>> rows() const { return m_rows; }
    // The line shown instead of the rows ("Reading phone info…" or why the phone cannot
    // answer); empty while the rows are shown.
    QString notice() const { return m_notice; }

private:
    void rebuild();
    // An empty symbol shows the spinner.
    void showNotice(const QString &symbol, const QString &text);
    // Resizes the view and its popover to the new content.
    void fit();

    AppModel *m_model;
    QVBoxLayout *m_layout;
    QList<QPair<QString, QString>> m_rows;
    QString m_notice;
};
