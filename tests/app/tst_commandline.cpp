#include "CommandLine.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    static CommandLine parsed(const QStringList& args)
    {
        CommandLine cl;
        cl.parse(QStringList{QStringLiteral("corvane")} + args);
        return cl;
    }

    static QString corvaneBinary()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/corvane");
    }

private Q_SLOTS:
    void noArgumentsRunsWithoutPort()
    {
        CommandLine cl;
        QVERIFY(cl.parse({QStringLiteral("corvane")}));
        QCOMPARE(cl.action(), CommandLine::Action::Run);
        QVERIFY(!cl.hasPort());
        QCOMPARE(cl.port(), QString());
        QCOMPARE(cl.baud(), QString());
        QCOMPARE(cl.exitCode(), 0);
        QCOMPARE(cl.errorText(), QString());
    }

    void portAndBaud_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");

        QTest::newRow("name") << QStringList{QStringLiteral("ttyUSB0")} << QStringLiteral("ttyUSB0")
                              << QString();
        QTest::newRow("path") << QStringList{QStringLiteral("/dev/pts/3")} << QStringLiteral("/dev/pts/3")
                              << QString();
        QTest::newRow("path and baud")
            << QStringList{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("--baud"), QStringLiteral("921600")}
            << QStringLiteral("/dev/ttyUSB0") << QStringLiteral("921600");
        QTest::newRow("baud first") << QStringList{QStringLiteral("--baud"), QStringLiteral("9600"),
                                                   QStringLiteral("/tmp/ttyV0")}
                                    << QStringLiteral("/tmp/ttyV0") << QStringLiteral("9600");
        QTest::newRow("baud with =") << QStringList{QStringLiteral("--baud=115200"), QStringLiteral("ttyS0")}
                                     << QStringLiteral("ttyS0") << QStringLiteral("115200");
        QTest::newRow("odd rate") << QStringList{QStringLiteral("ttyACM0"), QStringLiteral("--baud"),
                                                 QStringLiteral("250000")}
                                  << QStringLiteral("ttyACM0") << QStringLiteral("250000");
        QTest::newRow("padded rate") << QStringList{QStringLiteral("ttyS1"), QStringLiteral("--baud"),
                                                    QStringLiteral(" 57600 ")}
                                     << QStringLiteral("ttyS1") << QStringLiteral("57600");
        QTest::newRow("path with spaces")
            << QStringList{QStringLiteral("/tmp/my port")} << QStringLiteral("/tmp/my port") << QString();
        QTest::newRow("after --") << QStringList{QStringLiteral("--"), QStringLiteral("-odd-name")}
                                  << QStringLiteral("-odd-name") << QString();
    }

    void portAndBaud()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, port);
        QFETCH(QString, baud);
        const CommandLine cl = parsed(args);
        QCOMPARE(cl.action(), CommandLine::Action::Run);
        QCOMPARE(cl.errorText(), QString());
        QVERIFY(cl.hasPort());
        QCOMPARE(cl.port(), port);
        QCOMPARE(cl.baud(), baud);
        QCOMPARE(cl.exitCode(), 0);
    }

    void helpAndVersion()
    {
        for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const CommandLine cl = parsed({flag});
            QCOMPARE(cl.action(), CommandLine::Action::ShowHelp);
            QCOMPARE(cl.exitCode(), 0);
        }
        for (const QString& flag : {QStringLiteral("--version"), QStringLiteral("-v")}) {
            const CommandLine cl = parsed({flag});
            QCOMPARE(cl.action(), CommandLine::Action::ShowVersion);
            QCOMPARE(cl.exitCode(), 0);
        }
        // Help wins over anything else on the line, even a bad rate.
        QCOMPARE(parsed({QStringLiteral("--baud"), QStringLiteral("abc"), QStringLiteral("--help")}).action(),
                 CommandLine::Action::ShowHelp);
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Corvane 5.6"));
        const QString help = CommandLine::helpText();
        QVERIFY(help.startsWith(QStringLiteral("Usage: corvane [PORT] [--baud N]\n")));
        QVERIFY(help.contains(QStringLiteral("--version")));
        QVERIFY(help.contains(QStringLiteral("--help")));
        QVERIFY(help.contains(QStringLiteral("5.6")));
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mentions");

        QTest::newRow("non-numeric baud")
            << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud"), QStringLiteral("fast")}
            << QStringLiteral("\"fast\"");
        QTest::newRow("zero baud") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud"),
                                                  QStringLiteral("0")}
                                   << QStringLiteral("positive whole number");
        QTest::newRow("negative baud") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud=-9600")}
                                       << QStringLiteral("\"-9600\"");
        QTest::newRow("fractional baud")
            << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud"), QStringLiteral("9600.5")}
            << QStringLiteral("\"9600.5\"");
        QTest::newRow("hex baud") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud"),
                                                 QStringLiteral("0x2580")}
                                  << QStringLiteral("\"0x2580\"");
        QTest::newRow("huge baud") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud"),
                                                  QStringLiteral("99999999999")}
                                   << QStringLiteral("\"99999999999\"");
        QTest::newRow("empty baud") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud=")}
                                    << QStringLiteral("positive whole number");
        QTest::newRow("missing baud value")
            << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud")} << QStringLiteral("baud");
        QTest::newRow("baud twice") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("--baud=9600"),
                                                   QStringLiteral("--baud=115200")}
                                    << QStringLiteral("more than once");
        QTest::newRow("baud without port")
            << QStringList{QStringLiteral("--baud"), QStringLiteral("9600")} << QStringLiteral("PORT");
        QTest::newRow("two ports") << QStringList{QStringLiteral("ttyS0"), QStringLiteral("ttyS1")}
                                   << QStringLiteral("ttyS1");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--frobnicate")} << QStringLiteral("frobnicate");
        QTest::newRow("empty port") << QStringList{QStringLiteral("")} << QStringLiteral("PORT");
    }

    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mentions);
        CommandLine cl;
        QVERIFY(!cl.parse(QStringList{QStringLiteral("corvane")} + args));
        QCOMPARE(cl.action(), CommandLine::Action::Error);
        QVERIFY(cl.exitCode() != 0);
        QVERIFY2(cl.errorText().contains(mentions), qPrintable(cl.errorText()));
        QVERIFY(cl.port().isEmpty() || cl.baud().isEmpty());
    }

    void reparseStartsAfresh()
    {
        CommandLine cl;
        QVERIFY(!cl.parse({QStringLiteral("corvane"), QStringLiteral("--bogus")}));
        QVERIFY(
            cl.parse({QStringLiteral("corvane"), QStringLiteral("ttyS3"), QStringLiteral("--baud=4800")}));
        QCOMPARE(cl.action(), CommandLine::Action::Run);
        QCOMPARE(cl.errorText(), QString());
        QCOMPARE(cl.port(), QStringLiteral("ttyS3"));
        QCOMPARE(cl.baud(), QStringLiteral("4800"));
        QVERIFY(cl.parse({QStringLiteral("corvane")}));
        QCOMPARE(cl.port(), QString());
        QCOMPARE(cl.baud(), QString());
    }

    // The real program: --version and --help need no display at all.
    void programVersionWithoutDisplay()
    {
        QVERIFY2(QFileInfo::exists(corvaneBinary()), qPrintable(corvaneBinary()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        for (const QString& flag : {QStringLiteral("--version"), QStringLiteral("--help")}) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(corvaneBinary(), {flag});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            const QByteArray out = p.readAllStandardOutput();
            if (flag == QLatin1String("--version"))
                QCOMPARE(out, QByteArray("Corvane 5.6\n"));
            else
                QVERIFY(out.startsWith("Usage: corvane [PORT] [--baud N]"));
        }
    }

    void programRejectsBadBaud()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(corvaneBinary(),
                {QStringLiteral("/dev/null"), QStringLiteral("--baud"), QStringLiteral("abc")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("Invalid baud rate \"abc\"")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("--help")), qPrintable(err));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }

    void programAcceptsQtOptions()
    {
        // -platform belongs to Qt; the program must not call it unknown.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(corvaneBinary(),
                {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("Corvane 5.6\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
