#include "app/module1.h"
#include "app/qtruntime.h"
#include "app/translations.h"
#include "practice/form1.h"

#include <QApplication>
#include <QIcon>
#include <QPixmapCache>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keyvale"));
    QApplication::setOrganizationName(QStringLiteral("Larkmoor"));
    QApplication::setApplicationVersion(QStringLiteral(KEYVALE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/keyvale.ico")));

    installQtTranslations(app);
    // Every score dialog's widgets get palettes of their own, and the style caches
    // pictures per palette: with the default 10 MB the program would grow with each
    // practice for a couple of hundred practices. Its few pictures need far less.
    QPixmapCache::setCacheLimit(1024);

    QtRuntime runtime;
    Module1 module;
    Form1 form(runtime, module);
    form.Form_Load();
    return QApplication::exec();
}
