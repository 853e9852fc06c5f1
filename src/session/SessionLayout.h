#pragma once

#include <QCoreApplication>
#include <QList>

#include <functional>

class CIndicatorButton;
class CSideBar;
class QLabel;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QWidget;

// The session panel's arrangement, left to right: the settings column (port,
// Rx and Tx settings), the waveform over the log and send input beside the
// tool stack, and the side-bar column that picks a tool page. It builds the
// containers around widgets made elsewhere and keeps them for the session.
class SessionLayout
{
    Q_DECLARE_TR_FUNCTIONS(SessionLayout)
public:
    // Side-bar items and tool pages, in id order.
    enum ToolPage
    {
        MultiLinePage = 0,
        FileTransferPage = 1,
        WaveformPage = 2,
        LuaScriptPage = 3,
        FrameAssemblerPage = 4,
        GeneratorPage = 5,
    };

    // One page per ToolPage, in that order, and the waveform pane that goes
    // over the log (made with the waveform tool's page, which steers it).
    struct Tools
    {
        QList<QWidget*> pages;
        QWidget* waveform;
    };
    struct Parts
    {
        QWidget* portSettings;
        QWidget* rxSettings;
        QWidget* txSettings;
        QWidget* log;
        QWidget* send;
        // Called once the settings column stands, so the tools join the
        // focus chain after it.
        std::function<Tools()> makeTools;
    };

    SessionLayout(QWidget* session, const Parts& parts);

    // Lights the side-bar item of a tool that is busy.
    void setToolActive(ToolPage page, bool active);
    void retranslate();

    QScrollArea* settingsArea = nullptr;
    QStackedWidget* toolStack = nullptr;
    // Above the log; says loudly that keys now go to the device.
    QLabel* typeIndicator = nullptr;
    QSplitter* vSplitter = nullptr;
    QSplitter* hSplitter = nullptr;
    CIndicatorButton* settingsButton = nullptr;
    CSideBar* sideBar = nullptr;
};
