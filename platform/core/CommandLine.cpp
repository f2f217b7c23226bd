#include "CommandLine.h"

#include "Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

const QByteArray separator = "--";
const QString busActivation = QStringLiteral("dbus-activated");

void describeOptions(QCommandLineParser &parser, const char *description)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("ApplicationIdentity", description));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption activated(busActivation);
    activated.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(activated);
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QCoreApplication::translate("CommandLine",
                                    "Files to open. A name that begins with a dash goes after "
                                    "--, or is written as ./-name."),
        QStringLiteral("[FILE...] [-- FILE...]"));
}

QStringList decoded(char **argv, int count)
{
    QStringList arguments;
    for (int index = 0; index < count; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    return arguments;
}

// The current folder as bytes, so that a relative name stays exactly what was typed.
QByteArray absolute(const QByteArray &name)
{
    if (name.startsWith('/'))
        return name;
    return QFile::encodeName(QDir::currentPath()) + '/' + name;
}

} // namespace

CommandLine::CommandLine(int argc, char **argv, const char *description)
    : m_description(description)
    , m_toolkitArgumentCount(argc)
{
    for (int index = 1; index < argc; ++index) {
        if (argv[index] == separator) {
            m_toolkitArgumentCount = index;
            for (int file = index + 1; file < argc; ++file)
                m_afterSeparator.append(argv[file]);
            break;
        }
    }
    const QStringList before = decoded(argv, m_toolkitArgumentCount);
    m_activatedByBus = before.contains(QStringLiteral("--") + busActivation);
    const QStringList answeredHere =
        QStringLiteral("-h --help -help --help-all -v --version -version").split(QLatin1Char(' '));
    if (std::none_of(before.begin() + 1, before.end(),
                     [&](const QString &argument) { return answeredHere.contains(argument); }))
        return;
    int count = m_toolkitArgumentCount;
    const QCoreApplication application(count, argv);
    installTranslations();
    QCommandLineParser parser;
    describeOptions(parser, description);
    parser.process(before); // prints and exits
}

QByteArrayList CommandLine::files(char **argv) const
{
    QCommandLineParser parser;
    describeOptions(parser, m_description);
    if (!parser.parse(decoded(argv, m_toolkitArgumentCount))) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        std::exit(2);
    }
    QByteArrayList files;
    for (int index = 1; index < m_toolkitArgumentCount; ++index) {
        const QByteArray argument = argv[index];
        if (!argument.startsWith('-') || argument == "-")
            files.append(absolute(argument));
    }
    for (const QByteArray &name : m_afterSeparator)
        files.append(absolute(name));
    return files;
}

} // namespace platform
