#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's command line: `corvane [PORT] [--baud N]`, `--help`,
// `--version`, `--check-install`. Plain QtCore so it can be parsed before any window exists and
// tested without one.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    enum class Action
    {
        Run,         // start the program (with or without a port to open)
        ShowHelp,    // print helpText() and exit 0
        ShowVersion, // print versionText() and exit 0
        CheckInstall, // start offscreen-capable, report the run-time files found, exit
        Error        // print errorText() and exit with exitCode()
    };

    // `arguments` includes the program name first, as argv does.
    // Returns false when the line is not usable (action() is then Error).
    bool parse(const QStringList& arguments);

    Action action() const { return m_action; }
    // The port to open at start (a name such as ttyUSB0 or a path); empty for none.
    QString port() const { return m_port; }
    bool hasPort() const { return !m_port.isEmpty(); }
    // The baud rate asked for, as decimal text; empty when --baud was not given.
    QString baud() const { return m_baud; }
    QString errorText() const { return m_error; }
    // 0 for Run, ShowHelp and ShowVersion; 2 for a usage error.
    int exitCode() const;

    static QString helpText();
    static QString versionText();

    // Prints the help, the version or the error where each belongs (stdout or
    // stderr). Returns the exit code for an action that ends the program.
    int printResult() const;

private:
    Action m_action = Action::Run;
    QString m_port;
    QString m_baud;
    QString m_error;
};
