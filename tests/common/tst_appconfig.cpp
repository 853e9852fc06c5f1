#include "AppConfig.h"
#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Key
{
    const char* section;
    const char* key;
};

// Every key of config.ini in file order.
const Key kTable[] = {
    {"SERIAL-PORT-SET", "Baudrate"},
    {"SERIAL-PORT-SET", "DataBits"},
    {"SERIAL-PORT-SET", "ParityBits"},
    {"SERIAL-PORT-SET", "StopBits"},
    {"SERIAL-PORT-SET", "FlowCtrl"},
    {"SERIAL-PORT-SET", "LastPort"},
    {"SERIAL-PORT-SET", "DtrOn"},
    {"SERIAL-PORT-SET", "RtsOn"},
    {"SERIAL-PORT-SET", "PulseMs"},
    {"SERIAL-PORT-SET", "BreakMs"},
    {"RX-SET", "HexRxMode"},
    {"RX-SET", "HexBytesPerLine"},
    {"RX-SET", "AutoWrap"},
    {"RX-SET", "HexDumpColumns"},
    {"RX-SET", "ShowTime"},
    {"RX-SET", "ShowSend"},
    {"RX-SET", "TimestampFormat"},
    {"TX-SET", "HexTxMode"},
    {"TX-SET", "MultiLineSend"},
    {"TX-SET", "RepeatSend"},
    {"TX-SET", "SendNewLine"},
    {"DISPLAY-SET", "LogWinFont"},
    {"DISPLAY-SET", "LogSavePath"},
    {"DISPLAY-SET", "LogFileName"},
    {"DISPLAY-SET", "LogHighlight"},
    {"DISPLAY-SET", "LogAnsiColours"},
    {"MAIN-WIN", "MainWinWidth"},
    {"MAIN-WIN", "MainWinHeight"},
    {"MAIN-WIN", "Skin"},
    {"MAIN-WIN", "Language"},
    {"MAIN-WIN", "LuaScriptPath"},
    {"MAIN-WIN", "LuaScriptEnabled"},
    {"MAIN-WIN", "LuaScriptMode"},
    {"MAIN-WIN", "UpdateCheckUrl"},
    {"MAIN-WIN", "AutoCheckUpdate"},
};

// Puts a value nobody would choose into every variable, so a load that
// forgets a key shows up as a wrong value rather than a lucky default.
void scramble()
{
    AppConfig::Baudrate = QStringLiteral("x1");
    AppConfig::DataBits = QStringLiteral("x2");
    AppConfig::ParityBits = QStringLiteral("x3");
    AppConfig::StopBits = QStringLiteral("x4");
    AppConfig::FlowCtrl = QStringLiteral("x5");
    AppConfig::LastPort = QStringLiteral("x11");
    AppConfig::DtrOn = false;
    AppConfig::RtsOn = false;
    AppConfig::PulseMs = -1;
    AppConfig::BreakMs = -1;
    AppConfig::TimestampFormat = -1;
    AppConfig::SendNewLine = true;
    AppConfig::HexRxMode = true;
    AppConfig::HexBytesPerLine = -7;
    AppConfig::AutoWrap = true;
    AppConfig::HexDumpColumns = false;
    AppConfig::ShowTime = false;
    AppConfig::ShowSend = true;
    AppConfig::HexTxMode = true;
    AppConfig::MultiLineSend = true;
    AppConfig::RepeatSend = true;
    AppConfig::LogWinFont = QStringLiteral("x6");
    AppConfig::LogSavePath = QStringLiteral("x7");
    AppConfig::LogFileName = QStringLiteral("x8");
    AppConfig::LogHighlight = false;
    AppConfig::LogAnsiColours = false;
    AppConfig::MainWinWidth = -1;
    AppConfig::MainWinHeight = -1;
    AppConfig::Skin = -1;
    AppConfig::Language = true;
    AppConfig::LuaScriptPath = QStringLiteral("x9");
    AppConfig::LuaScriptEnabled = true;
    AppConfig::LuaScriptMode = -1;
    AppConfig::UpdateCheckUrl = QStringLiteral("x10");
    AppConfig::AutoCheckUpdate = false;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Runs `fn` where file permissions are enforced. As root they are not, so a
// forked child drops to "nobody" first and reports through its exit code.
// Returns fn's result, or -1 when the child could not run it.
int runWithPermissions(const std::function<bool()>& fn)
{
    if (::geteuid() != 0)
        return fn() ? 1 : 0;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(fn() ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    const int code = WEXITSTATUS(status);
    return code <= 1 ? code : -1;
}

} // namespace

class TestAppConfig : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_home;
    QByteArray m_oldHome;

    QString dataDir() const { return m_home->path() + QStringLiteral("/CVN"); }
    QString iniPath() const { return dataDir() + QStringLiteral("/config.ini"); }

    void verifyDefaults()
    {
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("115200"));
        QCOMPARE(AppConfig::DataBits, QStringLiteral("8"));
        QCOMPARE(AppConfig::ParityBits, QStringLiteral("None"));
        QCOMPARE(AppConfig::StopBits, QStringLiteral("1"));
        QCOMPARE(AppConfig::FlowCtrl, QStringLiteral("None"));
        QCOMPARE(AppConfig::HexRxMode, false);
        QCOMPARE(AppConfig::HexBytesPerLine, 32);
        QCOMPARE(AppConfig::AutoWrap, false);
        QCOMPARE(AppConfig::ShowTime, true);
        QCOMPARE(AppConfig::ShowSend, false);
        QCOMPARE(AppConfig::HexTxMode, false);
        QCOMPARE(AppConfig::MultiLineSend, false);
        QCOMPARE(AppConfig::RepeatSend, false);
        QCOMPARE(AppConfig::LastPort, QString());
        QCOMPARE(AppConfig::DtrOn, true);
        QCOMPARE(AppConfig::RtsOn, true);
        QCOMPARE(AppConfig::PulseMs, 100);
        QCOMPARE(AppConfig::BreakMs, 250);
        QCOMPARE(AppConfig::TimestampFormat, 0);
        QCOMPARE(AppConfig::SendNewLine, false);
        // The program splits the font text at "," into family and point size.
        const QStringList font = AppConfig::LogWinFont.split(QLatin1Char(','));
        QVERIFY2(font.size() >= 2, qPrintable(AppConfig::LogWinFont));
        QCOMPARE(font.at(0), QStringLiteral("Roboto Mono"));
        QCOMPARE(font.at(1), QStringLiteral("10"));
        QFont parsed;
        QVERIFY(parsed.fromString(AppConfig::LogWinFont));
        QCOMPARE(parsed.family(), QStringLiteral("Roboto Mono"));
        QCOMPARE(parsed.pointSize(), 10);
        // The test binary's folder is writable, so capture defaults to it.
        QCOMPARE(AppConfig::LogSavePath, QCoreApplication::applicationDirPath());
        QCOMPARE(AppConfig::LogFileName, QStringLiteral("log.dat"));
        QCOMPARE(AppConfig::LogHighlight, true);
        QCOMPARE(AppConfig::MainWinWidth, 1200);
        QCOMPARE(AppConfig::MainWinHeight, 800);
        QCOMPARE(AppConfig::Skin, 5);
        QCOMPARE(AppConfig::Language, false);
        QCOMPARE(AppConfig::LuaScriptPath, AppPaths::dataDir() + QStringLiteral("/scripts/general_demo.lua"));
        QCOMPARE(AppConfig::LuaScriptEnabled, false);
        QCOMPARE(AppConfig::LuaScriptMode, 0);
        QCOMPARE(AppConfig::UpdateCheckUrl, QString::fromLatin1(AppConfig::kDefaultUpdateCheckUrl));
        // A packager may build with checks off (an empty default); otherwise only https.
        QVERIFY(AppConfig::UpdateCheckUrl.isEmpty() ||
                AppConfig::UpdateCheckUrl.startsWith(QStringLiteral("https://")));
        QCOMPARE(AppConfig::AutoCheckUpdate, true);
    }

    // Checks that the saved file holds every key of the table, sections and
    // keys in table order; foreign sections and keys may sit in between.
    void verifyTableOrder(const QByteArray& text)
    {
        QStringList seen; // "SECTION/key" in file order, ours only
        QString section;
        for (const QByteArray& raw : text.split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                section = line.mid(1, line.size() - 2);
                continue;
            }
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            const QString entry = section + QLatin1Char('/') + line.left(eq).trimmed();
            for (const Key& k : kTable) {
                if (entry == QLatin1String(k.section) + QLatin1Char('/') + QLatin1String(k.key)) {
                    seen << entry;
                    break;
                }
            }
        }
        QStringList expected;
        for (const Key& k : kTable)
            expected << QLatin1String(k.section) + QLatin1Char('/') + QLatin1String(k.key);
        QCOMPARE(seen, expected);
    }

private Q_SLOTS:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->path().toLocal8Bit());
        QCOMPARE(AppPaths::userDataDir(), dataDir());
        QCOMPARE(AppConfig::filePath(), iniPath());
    }

    void cleanup()
    {
        // Undo any permission games so the temporary folder can be removed.
        ::chmod(QFile::encodeName(dataDir()).constData(), 0755);
        qputenv("HOME", m_oldHome);
        m_home.reset();
    }

    void firstStartGivesExactlyTheDefaults()
    {
        QVERIFY(!QFileInfo::exists(dataDir()));
        scramble();
        AppConfig::loadConfiguration();
        verifyDefaults();
        // Loading creates the folder; reading alone writes no file.
        QVERIFY(QFileInfo(dataDir()).isDir());
        QVERIFY(!QFileInfo::exists(iniPath()));
    }

    void missingParentFoldersAreCreated()
    {
        const QString deep = m_home->path() + QStringLiteral("/a/b/c");
        qputenv("HOME", deep.toLocal8Bit());
        QDir().mkpath(deep); // a home that exists, its CVN does not
        AppConfig::loadConfiguration();
        QVERIFY(QFileInfo(deep + QStringLiteral("/CVN")).isDir());
        QVERIFY(AppConfig::saveConfiguration());
        QVERIFY(QFileInfo::exists(deep + QStringLiteral("/CVN/config.ini")));
    }

    void onlySkinGivesSkinAndDefaults()
    {
        QVERIFY(writeFile(iniPath(), "[MAIN-WIN]\nSkin=1\n"));
        scramble();
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 1);
        AppConfig::Skin = 5; // everything else must be the defaults
        verifyDefaults();
        AppConfig::Skin = 1;

        QVERIFY(AppConfig::saveConfiguration());
        const QByteArray saved = readFile(iniPath());
        verifyTableOrder(saved);
        QSettings s(iniPath(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("MAIN-WIN/Skin")).toInt(), 1);
        QCOMPARE(s.value(QStringLiteral("RX-SET/HexBytesPerLine")).toInt(), 32);
        QCOMPARE(s.value(QStringLiteral("SERIAL-PORT-SET/Baudrate")).toString(), QStringLiteral("115200"));
        QCOMPARE(s.value(QStringLiteral("RX-SET/ShowTime")).toString(), QStringLiteral("true"));
    }

    void saveOnFirstStartWritesTableInOrder()
    {
        AppConfig::loadConfiguration();
        QVERIFY(AppConfig::saveConfiguration());
        verifyTableOrder(readFile(iniPath()));
    }

    void roundTripKeepsEveryValue()
    {
        AppConfig::loadConfiguration();
        AppConfig::Baudrate = QStringLiteral("921600");
        AppConfig::DataBits = QStringLiteral("7");
        AppConfig::ParityBits = QStringLiteral("Even");
        AppConfig::StopBits = QStringLiteral("2");
        AppConfig::FlowCtrl = QStringLiteral("RTS/CTS");
        AppConfig::HexRxMode = true;
        AppConfig::HexBytesPerLine = 96;
        AppConfig::AutoWrap = true;
        AppConfig::ShowTime = false;
        AppConfig::ShowSend = true;
        AppConfig::HexTxMode = true;
        AppConfig::LogWinFont = QStringLiteral("DejaVu Sans Mono,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1");
        AppConfig::LogSavePath = QStringLiteral("/tmp/some, folder");
        AppConfig::LogFileName = QStringLiteral("日志.txt");
        AppConfig::LogHighlight = false;
        AppConfig::MainWinWidth = 1333;
        AppConfig::MainWinHeight = 777;
        AppConfig::Skin = 6;
        AppConfig::Language = true;
        AppConfig::LuaScriptPath = QStringLiteral("/x/y.lua");
        AppConfig::LuaScriptEnabled = true;
        AppConfig::LuaScriptMode = 1;
        AppConfig::UpdateCheckUrl = QString();
        AppConfig::AutoCheckUpdate = false;
        QVERIFY(AppConfig::saveConfiguration());

        AppConfig::resetToDefaults();
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("921600"));
        QCOMPARE(AppConfig::DataBits, QStringLiteral("7"));
        QCOMPARE(AppConfig::ParityBits, QStringLiteral("Even"));
        QCOMPARE(AppConfig::StopBits, QStringLiteral("2"));
        QCOMPARE(AppConfig::FlowCtrl, QStringLiteral("RTS/CTS"));
        QCOMPARE(AppConfig::HexRxMode, true);
        QCOMPARE(AppConfig::HexBytesPerLine, 96);
        QCOMPARE(AppConfig::AutoWrap, true);
        QCOMPARE(AppConfig::ShowTime, false);
        QCOMPARE(AppConfig::ShowSend, true);
        QCOMPARE(AppConfig::HexTxMode, true);
        QCOMPARE(AppConfig::LogWinFont, QStringLiteral("DejaVu Sans Mono,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"));
        QCOMPARE(AppConfig::LogSavePath, QStringLiteral("/tmp/some, folder"));
        QCOMPARE(AppConfig::LogFileName, QStringLiteral("日志.txt"));
        QCOMPARE(AppConfig::LogHighlight, false);
        QCOMPARE(AppConfig::MainWinWidth, 1333);
        QCOMPARE(AppConfig::MainWinHeight, 777);
        QCOMPARE(AppConfig::Skin, 6);
        QCOMPARE(AppConfig::Language, true);
        QCOMPARE(AppConfig::LuaScriptPath, QStringLiteral("/x/y.lua"));
        QCOMPARE(AppConfig::LuaScriptEnabled, true);
        QCOMPARE(AppConfig::LuaScriptMode, 1);
        QCOMPARE(AppConfig::UpdateCheckUrl, QString());
        QCOMPARE(AppConfig::AutoCheckUpdate, false);
    }

    void multiLineAndRepeatSendAreKept()
    {
        QVERIFY(writeFile(iniPath(), "[TX-SET]\nMultiLineSend=true\nRepeatSend=true\n"));
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::MultiLineSend, true);
        QCOMPARE(AppConfig::RepeatSend, true);
        QVERIFY(AppConfig::saveConfiguration());
        QSettings s(iniPath(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("TX-SET/MultiLineSend")).toString(), QStringLiteral("true"));
        QCOMPARE(s.value(QStringLiteral("TX-SET/RepeatSend")).toString(), QStringLiteral("true"));

        // and the other way round
        QVERIFY(writeFile(iniPath(), "[TX-SET]\nMultiLineSend=false\nRepeatSend=true\n"));
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::MultiLineSend, false);
        QCOMPARE(AppConfig::RepeatSend, true);
    }

    void unknownKeysAndSectionsAreKept()
    {
        QVERIFY(writeFile(iniPath(), "[MAIN-WIN]\nSkin=2\nWindowState=maximised\n"
                                     "[PLUGIN-X]\nColour=teal\nCount=3\n"));
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 2);
        QVERIFY(AppConfig::saveConfiguration());
        verifyTableOrder(readFile(iniPath()));
        QSettings s(iniPath(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("MAIN-WIN/WindowState")).toString(), QStringLiteral("maximised"));
        QCOMPARE(s.value(QStringLiteral("PLUGIN-X/Colour")).toString(), QStringLiteral("teal"));
        QCOMPARE(s.value(QStringLiteral("PLUGIN-X/Count")).toInt(), 3);
    }

    void wrongTypesConvertWithoutCrashing()
    {
        QVERIFY(writeFile(iniPath(), "[MAIN-WIN]\nSkin=abc\nMainWinWidth=12.5e9\nLanguage=true\n"
                                     "[RX-SET]\nHexBytesPerLine=16, 32\nShowTime=false\nHexRxMode=1\n"
                                     "[SERIAL-PORT-SET]\nBaudrate=\"9600, 8\"\n"));
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 0);         // non-numeric -> 0
        QCOMPARE(AppConfig::Language, true);  // "true" text -> bool
        QCOMPARE(AppConfig::ShowTime, false); // "false" text -> bool
        QCOMPARE(AppConfig::HexRxMode, true); // "1" -> true
        // A list where a number belongs does not convert to a number.
        QVERIFY2(AppConfig::HexBytesPerLine == 0 || AppConfig::HexBytesPerLine == 32,
                 qPrintable(QString::number(AppConfig::HexBytesPerLine)));
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("9600, 8"));
        // Untouched keys keep their defaults.
        QCOMPARE(AppConfig::DataBits, QStringLiteral("8"));
        QCOMPARE(AppConfig::MainWinHeight, 800);
        // And the result saves and loads again.
        QVERIFY(AppConfig::saveConfiguration());
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 0);
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("9600, 8"));
    }

    void unreadableForeignLineDoesNotBlockSaving()
    {
        // A "[" line with no name makes QSettings report a key with no
        // readable value; before, every later save failed on it and the
        // settings of the session were lost at exit.
        QVERIFY(writeFile(iniPath(), "[\nHexRxMode=x LogSavePath=er\xdc\xdc RxMode=t\n[MAIN-WIN]\nSkin=3\n"));
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 3);
        AppConfig::Skin = 4;
        QVERIFY(AppConfig::saveConfiguration());
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 4);
    }

    void garbageFileGivesDefaults()
    {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) & 0xFF));
        junk.append("\n[MAIN-WIN\n=\n==\n[]\nSkin\n\x00\xff\xfe", 20);
        QVERIFY(writeFile(iniPath(), junk));
        scramble();
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("115200"));
        QCOMPARE(AppConfig::HexBytesPerLine, 32);
        QCOMPARE(AppConfig::MainWinWidth, 1200);
        QVERIFY(AppConfig::saveConfiguration());
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("115200"));
    }

    void readOnlyFolderLeavesOldFileIntact()
    {
        const QByteArray old = "[MAIN-WIN]\nSkin=3\nMine=keep\n";
        QVERIFY(writeFile(iniPath(), old));
        AppConfig::loadConfiguration();
        AppConfig::Skin = 4;
        // The child that drops privileges must be able to reach the folder.
        QVERIFY(::chmod(QFile::encodeName(m_home->path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(iniPath()).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(dataDir()).constData(), 0555) == 0);
        const int saved = runWithPermissions([] { return AppConfig::saveConfiguration(); });
        QVERIFY2(saved >= 0, "could not run the save without privileges");
        QCOMPARE(saved, 0); // reported as a failure
        QCOMPARE(readFile(iniPath()), old);
        QCOMPARE(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("config.ini")});
    }

    void failingWriteLeavesOldFileIntact()
    {
        // A file size limit makes every write past it fail the way a full
        // disk does (EFBIG instead of ENOSPC).
        QByteArray old = "[MAIN-WIN]\nSkin=3\n";
        QVERIFY(writeFile(iniPath(), old));
        AppConfig::loadConfiguration();
        AppConfig::Skin = 4;
        AppConfig::LogSavePath = QString(2000, QLatin1Char('p'));

        struct rlimit saved;
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = saved;
        tight.rlim_cur = 256;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tight) == 0);
        const bool ok = AppConfig::saveConfiguration();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!ok);
        QCOMPARE(readFile(iniPath()), old);
        QCOMPARE(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("config.ini")});
        // Once writing works again the new values land.
        QVERIFY(AppConfig::saveConfiguration());
        QSettings s(iniPath(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("MAIN-WIN/Skin")).toInt(), 4);
    }

    void folderThatCannotBeCreatedFailsQuietly()
    {
        // CVN exists as a plain file: no folder, no config, but no crash either.
        QVERIFY(writeFile(dataDir(), "not a folder"));
        scramble();
        AppConfig::loadConfiguration();
        QCOMPARE(AppConfig::Skin, 5);
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("115200"));
        QVERIFY(!AppConfig::saveConfiguration());
        QCOMPARE(readFile(dataDir()), QByteArray("not a folder"));
    }
};

QTEST_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
