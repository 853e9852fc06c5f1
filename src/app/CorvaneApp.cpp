#include "CorvaneApp.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "CommandLine.h"
#include "DebugLog.h"
#include "InstallCheck.h"
#include "MainWindow.h"
#include "Session.h"
#include "SkinManager.h"

#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSurfaceFormat>
#include <QTimer>
#include <QTranslator>

namespace {

const char kWindowIcon[] = ":/resources/img/Components/png/logo.ico";
const char kMonoFont[] = "resources/font/RobotoMono-Regular-9.ttf";

} // namespace

void CorvaneApp::registerMonoFont()
{
    // Beside the executable first, then relative to the working directory.
    const QString family = QStringLiteral("Roboto Mono");
    if (QFontDatabase::addApplicationFont(AppPaths::dataPath(QLatin1String(kMonoFont))) < 0)
        QFontDatabase::addApplicationFont(QStringLiteral("./") + QLatin1String(kMonoFont));
    // Without the file the log view would get a proportional font; any
    // installed monospace one keeps hex columns lined up.
    if (!QFontDatabase::hasFamily(family)) {
        QFont::insertSubstitutions(family,
                                   {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono"),
                                    QStringLiteral("Liberation Mono"),
                                    QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Monospace")});
    }
}

QString CorvaneApp::version()
{
    return QLatin1String(kVersion);
}

QFont CorvaneApp::applicationFont()
{
    // "微软雅黑" exists on Windows only. Elsewhere the first installed
    // CJK-capable sans-serif takes its place; the rest of the list stays as
    // fallbacks for glyphs the first one lacks.
    const QStringList wanted{QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                             QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans"),
                             QStringLiteral("DejaVu Sans")};
    QStringList families;
    for (const QString& family : wanted) {
        const QFontInfo resolved{QFont(family, 9)};
        if (resolved.family().compare(family, Qt::CaseInsensitive) == 0 || QFontDatabase::hasFamily(family))
            families << family;
    }
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    if (!families.isEmpty())
        font.setFamilies(families);
    else
        font.setFamily(QStringLiteral("Sans Serif"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

bool CorvaneApp::applyStoredTheme()
{
    SkinManager::instance()->setSkin(AppConfig::Skin);
    return !qApp->styleSheet().isEmpty();
}

bool CorvaneApp::chooseStartLanguage(const QLocale& locale)
{
    const QSettings stored(AppConfig::filePath(), QSettings::IniFormat);
    if (!stored.contains(QStringLiteral("MAIN-WIN/Language")))
        AppConfig::Language = locale.language() != QLocale::Chinese;
    return AppConfig::Language;
}

QTranslator* CorvaneApp::translator()
{
    static QPointer<QTranslator> instance;
    if (!instance)
        instance = new QTranslator(QCoreApplication::instance());
    return instance;
}

bool CorvaneApp::loadLanguage(bool english)
{
    QTranslator* tr = translator();
    QCoreApplication::removeTranslator(tr);
    const bool loaded = tr->load(english ? QStringLiteral(":/resources/lang/tr_en.qm")
                                         : QStringLiteral(":/resources/lang/tr_zh.qm"));
    QCoreApplication::installTranslator(tr);
    return loaded;
}

void CorvaneApp::centreWindow(QWidget* window)
{
    if (!window)
        return;
    QRect area;
    if (QWidget* parent = window->parentWidget()) {
        area = parent->window()->frameGeometry();
    } else {
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        area = screen->availableGeometry();
        // A frameless window taller than the screen would hide its own title
        // bar, the only handle there is to move it.
        if (window->width() > area.width() || window->height() > area.height())
            window->resize(window->size().boundedTo(area.size()));
    }
    QRect frame(QPoint(0, 0), window->frameGeometry().size());
    frame.moveCenter(area.center());
    if (!window->parentWidget()) {
        frame.moveLeft(qMax(frame.left(), area.left()));
        frame.moveTop(qMax(frame.top(), area.top()));
    }
    window->move(frame.topLeft());
}

int CorvaneApp::run(int argc, char* argv[])
{
    // --help and --version need no display: answer them before the GUI starts.
    // Anything else waits until QApplication has taken its own options
    // (-platform, -style, ...) off the line.
    {
        QStringList raw;
        for (int i = 0; i < argc; ++i)
            raw << QString::fromLocal8Bit(argv[i]);
        CommandLine early;
        early.parse(raw);
        if (early.action() == CommandLine::Action::ShowHelp ||
            early.action() == CommandLine::Action::ShowVersion)
            return early.printResult();
    }

    // 1. Application object.
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication app(argc, argv);

    CommandLine commandLine;
    commandLine.parse(QCoreApplication::arguments());
    const bool checkInstall = commandLine.action() == CommandLine::Action::CheckInstall;
    if (commandLine.action() != CommandLine::Action::Run && !checkInstall)
        return commandLine.printResult();

    // 2. OpenGL default format for the waveform plot.
    QSurfaceFormat format;
    format.setVersion(4, 1);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSamples(3);
    QSurfaceFormat::setDefaultFormat(format);

    // 3. Debug log: console on, threshold 5.
    DebugLog::instance().install();
    // The install report is read by scripts: warnings only, no debug chatter.
    if (checkInstall)
        DebugLog::instance().setThreshold(3);

    // 4.-7. Names, icon, fonts.
    QApplication::setApplicationName(QLatin1String(kName));
    QApplication::setOrganizationName(QLatin1String(kName));
    QApplication::setWindowIcon(QIcon(QLatin1String(kWindowIcon)));
    registerMonoFont();
    const QFont font = applicationFont();
    QApplication::setFont(font);
    qDebug().noquote() << "[CorvaneApp] application font:" << QFontInfo(font).family() << font.pointSize()
                       << "pt";

    // 8. Configuration.
    AppConfig::loadConfiguration();

    // 9. Theme.
    applyStoredTheme();

    // 10. Interface language: the stored one, or the system's on a first start.
    chooseStartLanguage(QLocale::system());
    loadLanguage(AppConfig::Language);

    // 11. Main window and event loop.
    auto* window = new MainWindow;
    if (checkInstall) {
        const int code = InstallCheck::print(InstallCheck::run());
        delete window;
        return code;
    }
    centreWindow(window);
    window->show();
    if (commandLine.hasPort()) {
        const QString port = commandLine.port();
        const QString baud = commandLine.baud();
        QTimer::singleShot(0, window,
                           [window, port, baud] { window->session()->openPortAtStart(port, baud); });
    }
    const int code = app.exec();
    delete window;
    return code;
}
