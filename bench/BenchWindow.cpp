// Figure 13: the main thread's work when the phone pane shows a folder of 100,000 entries for
// the first time, and when the user clicks a column header of it.
#include "Bench.h"

#include "Content.h"
#include "Wait.h"

#include "bridge/ADB.h"
#include "model/AppModel.h"
#include "ui/FilePane.h"
#include "ui/FileTableModel.h"
#include "ui/FileTableView.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QHeaderView>
#include <QTest>

#include <cstdio>
#include <stdexcept>

namespace {

// Everything the window had left to do (deferred layouts, posted updates) and a paint of the
// whole window, done now on this thread.
void finishDrawing(QWidget &window)
{
    QCoreApplication::sendPostedEvents();
    window.repaint();
}

} // namespace

QList<FigureRow> Bench::windowFigures()
{
    if (!m_window)
        return {missingRow(QStringLiteral("13"), QStringLiteral("window"), QStringLiteral("needs the window (no --no-window)"))};
    const QString folder = crowdedPhoneFolder();
    const QList<FileEntry> rows = QCoro::waitFor(ADB::shared().list(m_serial, folder, false));
    const QList<FileEntry> before = m_model->androidItems();
    FileTableView *table = m_window->phonePane()->table();
    QHeaderView *header = table->horizontalHeader();

    QList<double> paints, clicks;
    for (int i = 0; i < m_options.runs; ++i) {
        m_model->setAndroidItems({});
        m_window->phonePane()->sortBy(FileTableModel::NameColumn, Qt::AscendingOrder);
        finishDrawing(*m_window);
        spin(100);

        QElapsedTimer timer;
        timer.start();
        m_model->setAndroidItems(rows);
        finishDrawing(*m_window);
        paints.append(elapsedSeconds(timer));
        spin(100);

        const int size = header->logicalIndex(FileTableModel::SizeColumn);
        const QPoint middle(header->sectionViewportPosition(size) + header->sectionSize(size) / 2, header->height() / 2);
        timer.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
        finishDrawing(*m_window);
        clicks.append(elapsedSeconds(timer));
        if (header->sortIndicatorSection() != FileTableModel::SizeColumn)
            throw std::runtime_error("the click on the Size header did not sort by size");
        std::fprintf(stderr, "figure 13: run %d/%d: first paint %s, header click %s\n", i + 1, m_options.runs,
                     qPrintable(secondsText(paints.last())), qPrintable(secondsText(clicks.last())));
    }
    m_window->phonePane()->sortBy(FileTableModel::NameColumn, Qt::AscendingOrder);
    m_model->setAndroidItems(before);
    finishDrawing(*m_window);
    const double paint = median(paints);
    const double click = median(clicks);
    return {limitRow(QStringLiteral("13a"), QStringLiteral("first paint of 100,000 phone rows (main thread)"),
                     secondsText(paint), paint * 1000, QStringLiteral("—"), 150, QStringLiteral("ms")),
            limitRow(QStringLiteral("13b"), QStringLiteral("click on the Size header of 100,000 rows (main thread)"),
                     secondsText(click), click * 1000, QStringLiteral("—"), 150, QStringLiteral("ms"))};
}
