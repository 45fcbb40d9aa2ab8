#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Movrane Inc."));
    QCoreApplication::setApplicationName(QStringLiteral("Movra_Maintenance_Tool").replace(QLatin1Char('_'), QLatin1Char(' ')));
    QMainWindow window;
    window.setWindowTitle(QCoreApplication::applicationName());
    window.resize(800, 600);
    window.show();
    return application.exec();
}
