#include "ui/PreviewWindow.h"

#include "common/ByteCount.h"
#include "platform/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStringDecoder>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Keeps its image scaled to fit whatever size the window gives it.
class FittedImage : public QLabel
{
public:
    explicit FittedImage(QImage image) : m_image(std::move(image))
    {
        setAlignment(Qt::AlignCenter);
        setMinimumSize(1, 1);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        const QSize fitted = m_image.size().scaled(event->size(), Qt::KeepAspectRatio)
                                 .boundedTo(m_image.size());
        setPixmap(QPixmap::fromImage(
            m_image.scaled(fitted * devicePixelRatioF(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }

private:
    QImage m_image;
};

bool looksLikeText(const QString &path, const QByteArray &head)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (type.inherits(QStringLiteral("text/plain")))
        return true;
    // Files the database does not know: text when the start decodes as UTF-8 without NULs.
    if (!type.isDefault() || head.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(head);
    return !decoder.hasError() && !decoded.isEmpty();
}

} // namespace

PreviewWindow::PreviewWindow(const QString &path, QWidget *parent) : QWidget(parent)
{
    const QFileInfo info(path);
    setWindowTitle(info.fileName());
    // Escape closes the preview, as it does every viewer's window.
    auto *closing = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closing, &QShortcut::activated, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        const QImage image = reader.read();
        if (!image.isNull()) {
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(new FittedImage(image));
            resize(image.size().boundedTo(QSize(900, 700)).expandedTo(QSize(240, 180)));
            return;
        }
    }

    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(textLimit) : QByteArray();
    if (!head.isEmpty() && looksLikeText(path, head)) {
        auto *text = new QPlainTextEdit;
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setFont(QFont(QStringLiteral("monospace")));
        text->setPlainText(QString::fromUtf8(head));
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(text);
        resize(720, 540);
        return;
    }

    auto *name = new QLabel(info.fileName());
    name->setTextFormat(Qt::PlainText);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    name->setAlignment(Qt::AlignCenter);
    name->setWordWrap(true);
    auto *size = new QLabel(formatByteCount(info.size()));
    size->setAlignment(Qt::AlignCenter);
    auto *open = new QPushButton(QStringLiteral("Open"));
    connect(open, &QPushButton::clicked, this, [path] {
        Platform::instance().launcher().open(QUrl::fromLocalFile(path));
    });
    layout->addStretch();
    layout->addWidget(name);
    layout->addWidget(size);
    layout->addWidget(open, 0, Qt::AlignCenter);
    layout->addStretch();
    resize(360, 240);
}
