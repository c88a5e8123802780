// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Typing practice for learners of keyboard fingering (一步一步学会Keyvale)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("A practice text to pre-select in the first open-file dialog."),
        QStringLiteral("[file]"));

    // Help and the version are answered whatever else the command line holds, so that
    // they need no window system: its own options are only known once it is there.
    // After "--" every argument is a file name, whatever it looks like.
    const QStringList options = arguments.mid(1, arguments.indexOf(QStringLiteral("--"), 1) - 1);
    const auto asked = [&](const QCommandLineOption &option) {
        for (const QString &name : option.names()) {
            const QString flag
                = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            if (options.contains(flag))
                return true;
        }
        return false;
    };

    CommandLine line;
    if (asked(help) || options.contains(QStringLiteral("--help-all"))) {
        line.run = false;
        line.output = parser.helpText().replace(
            QStringLiteral("<executable_name>"), QStringLiteral("keyvale"));
        return line;
    }
    if (asked(version)) {
        line.run = false;
        line.output = QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return line;
    }
    // The window system's own options ("-platform xcb", "-style fusion") have a
    // single dash and a word.
    line.final = std::none_of(arguments.begin() + 1, arguments.end(), [](const QString &argument) {
        return argument.size() > 2 && argument.startsWith(QLatin1Char('-'))
            && !argument.startsWith(QLatin1String("--"));
    });
    if (!parser.parse(arguments)) {
        line.run = false;
        line.exitCode = 2;
        line.output = parser.errorText() + QLatin1Char('\n');
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.run = false;
        line.exitCode = 2;
        line.output = QStringLiteral("keyvale: one practice file at most\n");
        return line;
    }
    if (!files.isEmpty())
        line.practiceFile = QFileInfo(files.constFirst()).absoluteFilePath();
    return line;
}
