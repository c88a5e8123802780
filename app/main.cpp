// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/commandline.h"
#include "base/module1.h"
#include "platform/qtruntime.h"
#include "platform/standardicons.h"
#include "platform/translations.h"
#include "practice/form1.h"

#include <QApplication>
#include <QIcon>
#include <QPixmapCache>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

int answer(const CommandLine &line)
{
    std::fputs(line.output.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // Under a file-size limit (ulimit -f, a school's limits.conf) a write past it would
    // end the program with SIGXFSZ in the middle of a save. Ignored, the write fails
    // with EFBIG instead: the save cuts its entry back and warns the learner.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication::setApplicationName(QStringLiteral("Keyvale"));
    QApplication::setOrganizationName(QStringLiteral("Larkmoor"));
    QApplication::setApplicationVersion(QStringLiteral(KEYVALE_VERSION));

    // --help and --version answer before any window-system connection.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine early = parseCommandLine(arguments);
    if (!early.run && early.final)
        return answer(early);

    // After "--" every argument is a file name, for Qt too: it is shown only the ones
    // before ("keyvale -- -platform offscreen" names a file).
    int qtArgc = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            qtArgc = i;
            break;
        }
    }
    const QStringList files = arguments.mid(qtArgc);
    QApplication app(qtArgc, argv);
    const CommandLine line = parseCommandLine(QApplication::arguments() + files);
    if (!line.run)
        return answer(line);

    // Window systems group the windows and find the icon by the desktop entry's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KEYVALE_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/keyvale.ico")));
    installQtTranslations(app);
    useStandardIconStyle();
    // Every score dialog's widgets get palettes of their own, and the style caches
    // pictures per palette: with the default 10 MB the program would grow with each
    // practice for a couple of hundred practices. Its few pictures need far less.
    QPixmapCache::setCacheLimit(1024);

    QtRuntime runtime;
    Module1 module;
    Form1 form(runtime, module);
    form.setPracticeFile(line.practiceFile);
    form.Form_Load();
    return QApplication::exec();
}
