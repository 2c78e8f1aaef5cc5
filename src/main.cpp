#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessary"));
    // The window arrives with the user interface; until then there is nothing to show.
    return 0;
}
