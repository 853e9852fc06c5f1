#include "SendCommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-send"));

    SendCommand::Options options;
    QString error;
    switch (SendCommand::parse(QCoreApplication::arguments(), &options, &error)) {
    case SendCommand::Parsed::Help:
        std::fputs(qPrintable(SendCommand::helpText()), stdout);
        return SendCommand::ExitSuccess;
    case SendCommand::Parsed::Version:
        std::fputs(qPrintable(SendCommand::versionText()), stdout);
        return SendCommand::ExitSuccess;
    case SendCommand::Parsed::Error:
        std::fprintf(stderr, "corvane-send: %s\nTry 'corvane-send --help'.\n", qPrintable(error));
        return SendCommand::ExitBadUsage;
    case SendCommand::Parsed::Run:
        break;
    }

    SendCommand::installMessageFilter(options.verbose);
    SendCommand command(options);
    command.installSignalHandlers();
    return command.exec();
}
