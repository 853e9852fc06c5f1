#include "CommandLine.h"

#include "CorvaneApp.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <climits>
#include <cstdio>

namespace {
constexpr int kUsageError = 2;
} // namespace

bool CommandLine::parse(const QStringList& arguments)
{
    m_action = Action::Run;
    m_port.clear();
    m_baud.clear();
    m_error.clear();

    auto fail = [this](const QString& message) {
        m_action = Action::Error;
        m_error = message;
        return false;
    };

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption checkInstall(QStringLiteral("check-install"));
    parser.addOption(checkInstall);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(baud);
    if (!parser.parse(arguments))
        return fail(parser.errorText());

    // Help and version win over anything else on the line, as users expect.
    if (parser.isSet(help)) {
        m_action = Action::ShowHelp;
        return true;
    }
    if (parser.isSet(version)) {
        m_action = Action::ShowVersion;
        return true;
    }

    if (parser.isSet(checkInstall)) {
        if (!parser.positionalArguments().isEmpty() || parser.isSet(baud))
            return fail(tr("--check-install takes no other arguments."));
        m_action = Action::CheckInstall;
        return true;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return fail(tr("Too many arguments: only one PORT can be opened (got %1).")
                        .arg(positional.join(QStringLiteral(", "))));
    if (positional.size() == 1) {
        m_port = positional.first().trimmed();
        if (m_port.isEmpty())
            return fail(tr("The PORT argument is empty."));
    }

    if (parser.isSet(baud)) {
        const QStringList values = parser.values(baud);
        if (values.size() > 1)
            return fail(tr("--baud is given more than once."));
        const QString text = values.first().trimmed();
        bool ok = false;
        const qlonglong rate = text.toLongLong(&ok);
        if (!ok || rate <= 0 || rate > INT_MAX)
            return fail(
                tr("Invalid baud rate \"%1\": expected a positive whole number.").arg(values.first()));
        if (m_port.isEmpty())
            return fail(tr("--baud needs a PORT to open."));
        m_baud = QString::number(rate);
    }
    return true;
}

int CommandLine::exitCode() const
{
    return m_action == Action::Error ? kUsageError : 0;
}

QString CommandLine::helpText()
{
    return tr("Usage: corvane [PORT] [--baud N]\n"
              "\n"
              "Corvane %1, a workbench for serial-port engineers.\n"
              "\n"
              "Arguments:\n"
              "  PORT           port to select and open at start: a name such as ttyUSB0,\n"
              "                 or a device path such as /dev/ttyUSB0, /dev/pts/3 or /tmp/ttyV0\n"
              "\n"
              "Options:\n"
              "  --baud N       baud rate for PORT (a positive whole number);\n"
              "                 without it the last used rate applies\n"
              "  --check-install\n"
              "                 report whether every run-time file (fonts, themes, translations,\n"
              "                 protocols, rules, documents) is found, then exit (0 all found,\n"
              "                 1 something missing)\n"
              "  -h, --help     show this help and exit\n"
              "  -v, --version  print the version and exit\n")
        .arg(CorvaneApp::version());
}

QString CommandLine::versionText()
{
    return QStringLiteral("%1 %2").arg(QLatin1String(CorvaneApp::kName), CorvaneApp::version());
}

int CommandLine::printResult() const
{
    switch (m_action) {
    case Action::Run:
    case Action::CheckInstall:
        break;
    case Action::ShowHelp:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        break;
    case Action::ShowVersion:
        std::fputs((versionText() + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        break;
    case Action::Error: {
        const QString text = QStringLiteral("corvane: %1\n%2\n")
                                 .arg(m_error, tr("Try 'corvane --help' for more information."));
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        break;
    }
    }
    return exitCode();
}
