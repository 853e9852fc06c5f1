// corvane-run: runs a Lua test script against a serial port without a
// window, for test benches and CI.
#include "RunCommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-run"));
    // stdout belongs to the script; the port manager's chatter stays out of
    // the way, its warnings still reach stderr.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));

    RunCommand::Options options;
    QString error;
    switch (RunCommand::parse(QCoreApplication::arguments(), &options, &error)) {
    case RunCommand::Parsed::Help:
        std::fputs(qPrintable(RunCommand::helpText()), stdout);
        return RunCommand::ExitPassed;
    case RunCommand::Parsed::Error:
        std::fprintf(stderr, "corvane-run: %s\nTry 'corvane-run --help'.\n", qPrintable(error));
        return RunCommand::ExitBadUsage;
    case RunCommand::Parsed::Run:
        break;
    }

    RunCommand command(options);
    command.installSignalHandlers();
    return command.exec();
}
