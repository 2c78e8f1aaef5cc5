// tessary-bench: prints how close Tessary's transfers, listings and window come to the bare
// tools they drive. Started by bench/run; see the README.
//
//   tessary-bench [--runs N] [--only 1,3,5] [--no-window] [--small]
#include "Bench.h"

#include "ui/Icons.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>

#include <cstdio>

int main(int argc, char **argv)
{
    // The window is measured, not looked at.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Icons::installTheme();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessary benchmarks against an emulated phone"));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs per figure (median is shown)."),
                                  QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Comma-separated figure numbers."),
                                  QStringLiteral("list"));
    const QCommandLineOption noWindow(QStringLiteral("no-window"),
                                      QStringLiteral("Drive the model without its window (figure 7 still shows one)."));
    const QCommandLineOption small(QStringLiteral("small"),
                                   QStringLiteral("Files a tenth as many and as large: checks that the figures work, "
                                                  "measures nothing."));
    const QCommandLineOption memoryChildOption(QStringLiteral("memory-child"),
                                               QStringLiteral("Internal: one measurement of figure 7."));
    parser.addOptions({runs, only, noWindow, small, memoryChildOption});
    parser.process(app);

    if (parser.isSet(memoryChildOption)) {
        const QStringList args = parser.positionalArguments();
        if (args.size() != 3)
            return 2;
        return memoryChild(args.at(0), args.at(1), args.at(2).toInt());
    }

    Bench::Options options;
    options.runs = std::max(1, parser.value(runs).toInt());
    options.window = !parser.isSet(noWindow);
    if (parser.isSet(small))
        options.shrink = 10;
    for (const QString &number : parser.value(only).split(QLatin1Char(','), Qt::SkipEmptyParts))
        options.only.insert(number.trimmed().toInt());

    Bench bench(options);
    QString error;
    if (!bench.setUp(&error)) {
        std::fprintf(stderr, "tessary-bench: %s\n", qPrintable(error));
        return 1;
    }
    const QList<FigureRow> rows = bench.run();
    std::printf("\nTessary benchmarks, %s, median of %d run(s) [min–max] (copy figures: both orders in each run)%s\n\n%s",
                qPrintable(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))),
                options.runs, options.shrink > 1 ? " (--small: sizes a tenth, no figure is a result)" : "",
                qPrintable(formatTable(rows)));
    return 0;
}
