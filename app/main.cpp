#include "app/module1.h"
#include "app/qtruntime.h"
#include "app/translations.h"
#include "practice/form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keyvale"));
    QApplication::setOrganizationName(QStringLiteral("Larkmoor"));
    QApplication::setApplicationVersion(QStringLiteral(KEYVALE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/keyvale.ico")));

    installQtTranslations(app);

    QtRuntime runtime;
    Module1 module;
    Form1 form(runtime, module);
    form.Form_Load();
    return QApplication::exec();
}
