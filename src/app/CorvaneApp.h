#pragma once

#include <QFont>
#include <QString>

class QLocale;
class QTranslator;
class QWidget;

// Process start-up: application object, OpenGL default format, debug log,
// fonts, configuration, theme, translator, the main window and its event loop.
class CorvaneApp
{
public:
    static constexpr const char* kVersion = "5.6";
    static constexpr const char* kName = "Corvane";

    static int run(int argc, char* argv[]);

    // The version text, "5.6".
    static QString version();

    // The application font: "微软雅黑" 9 pt when the system has it, otherwise
    // the first installed CJK-capable sans-serif, so that Chinese and Latin
    // text both render. Needs a QGuiApplication.
    static QFont applicationFont();

    // Registers the log view's "Roboto Mono" font file. When it is missing
    // (a failure is not reported) the family is mapped to an installed
    // monospace font instead.
    static void registerMonoFont();

    // Applies the stored theme (AppConfig::Skin) through the theme manager.
    // Returns false when no sheet could be applied.
    static bool applyStoredTheme();

    // A first start has no stored "Language": the interface then follows the
    // locale, Chinese for any Chinese locale and English for every other. A
    // stored value always wins. Call after the configuration is loaded;
    // returns the value now in AppConfig::Language (true: English).
    static bool chooseStartLanguage(const QLocale& locale);

    // Loads ":/resources/lang/tr_en.qm" (english) or tr_zh.qm into the
    // process-wide translator and installs it. A missing catalogue is not
    // reported; the source texts are shown then.
    static bool loadLanguage(bool english);
    static QTranslator* translator();

    // Centres a top-level widget on the available geometry of the screen
    // under the mouse cursor (a widget with a parent on its parent), keeping
    // it inside that area.
    static void centreWindow(QWidget* window);
};
