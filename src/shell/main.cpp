#include "shell/start.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane Zaru"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(ORVANE_VERSION_MAJOR).arg(ORVANE_VERSION_MINOR).arg(ORVANE_VERSION_PATCH));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return shell::modStart();
}
