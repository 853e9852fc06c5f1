// corvane-demo-device: a simulated serial device on a pseudo-terminal, so the
// workbench can be tried and tested without hardware.
#include "DemoDevice.h"
#include "SignalWatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-demo-device"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Simulates a small serial device on a pseudo-terminal published "
                                            "at a stable path. Open that path with a serial terminal "
                                            "and type help for its commands. Ctrl-C removes the path "
                                            "and exits.") +
        QStringLiteral("\n\n") + QString::fromUtf8(DemoDevice::helpText()).remove(QLatin1Char('\r')));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption pathOption(
        QStringLiteral("path"),
        QCoreApplication::translate("main", "Publish the line at <path> (default %1).")
            .arg(DemoDevice::defaultPath()),
        QStringLiteral("path"), DemoDevice::defaultPath());
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QCoreApplication::translate("main", "Wave frames per second, %1..%2 (default %3).")
            .arg(DemoDevice::MinRate)
            .arg(DemoDevice::MaxRate)
            .arg(DemoDevice::DefaultRate),
        QStringLiteral("n"), QString::number(DemoDevice::DefaultRate));
    const QCommandLineOption waveOption(
        QStringLiteral("wave"), QCoreApplication::translate("main", "Stream wave frames from the start."));
    const QCommandLineOption quietOption(QStringLiteral("no-log"),
                                         QCoreApplication::translate("main", "No periodic log lines."));
    const QCommandLineOption dirOption(
        QStringLiteral("rx-dir"),
        QCoreApplication::translate("main", "Store received files in <dir> (default: current directory)."),
        QStringLiteral("dir"));
    parser.addOptions({pathOption, rateOption, waveOption, quietOption, dirOption});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool ok = false;
    const int rate = parser.value(rateOption).toInt(&ok);
    if (!ok || rate < DemoDevice::MinRate || rate > DemoDevice::MaxRate) {
        err << QCoreApplication::translate("main", "invalid --rate: %1").arg(parser.value(rateOption))
            << Qt::endl;
        return 2;
    }
    const QString path = parser.value(pathOption);
    if (path.isEmpty()) {
        err << QCoreApplication::translate("main", "--path must not be empty") << Qt::endl;
        return 2;
    }

    DemoDevice device;
    device.setPath(path);
    device.setRate(rate);
    device.setLogEnabled(!parser.isSet(quietOption));
    if (parser.isSet(dirOption))
        device.setReceiveDir(parser.value(dirOption));
    QObject::connect(&device, &DemoDevice::statusMessage, &app,
                     [&out](const QString& text) { out << text << Qt::endl; });

    SignalWatcher watcher({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&watcher, &SignalWatcher::signalReceived, &app, [&](int number) {
        out << QCoreApplication::translate("main", "signal %1: removing %2 and exiting").arg(number).arg(path)
            << Qt::endl;
        device.stop();
        QCoreApplication::quit();
    });

    if (!device.start()) {
        err << QCoreApplication::translate("main", "cannot start the demo device: %1")
                   .arg(device.errorString())
            << Qt::endl;
        return 1;
    }
    if (parser.isSet(waveOption))
        device.setWaveOn(true);
    out << QCoreApplication::translate("main", "demo device ready at %1 (%2)").arg(path, device.slaveName())
        << Qt::endl;
    const int code = QCoreApplication::exec();
    device.stop();
    return code;
}
