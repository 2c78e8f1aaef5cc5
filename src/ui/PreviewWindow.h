#pragma once

#include <QWidget>

// The preview of one file, shown by `tessary --preview FILE`: an image scaled to fit the
// window, the first part of a text file, or for anything else its name, size and an "Open"
// button that hands it to the default application. Escape closes it.
class PreviewWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewWindow(const QString &path, QWidget *parent = nullptr);

    // How much of a text file is shown.
    static constexpr qint64 textLimit = 64 * 1024;
};
