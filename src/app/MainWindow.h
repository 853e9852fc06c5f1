#pragma once

#include <QList>
#include <QMainWindow>

#include <functional>

class CMenu;
class CStatusBar;
class CTitleBar;
class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QUrl;
class Session;

// The one top-level window: its own title bar, the session panel and a
// status bar with connection state, byte counts and the program version.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Session* session() const { return m_session; }
    CTitleBar* titleBar() const { return m_titleBar; }
    CStatusBar* statusBarWidget() const { return m_statusBar; }
    QLabel* connectionLabel() const { return m_connectLbl; }
    QLabel* rxLabel() const { return m_rxLbl; }
    QLabel* txLabel() const { return m_txLbl; }
    QLabel* versionLabel() const { return m_versionLbl; }

    // Theme actions indexed by theme number, and the two language actions
    // ("English" first).
    QList<QAction*> themeActions() const { return m_themeActions; }
    QList<QAction*> languageActions() const { return m_languageActions; }

    // The help documents in menu order, as paths in the installation; the
    // user guide is the one in the interface's language.
    static QStringList helpDocuments();

    // Hands a local document to the desktop; QDesktopServices::openUrl unless
    // replaced (an empty function restores it). Returns false when nothing
    // could open it.
    using DocumentOpener = std::function<bool(const QUrl&)>;
    static void setDocumentOpener(DocumentOpener opener);

    // True while an update check the user started is in flight.
    bool isManualUpdateCheck() const { return m_manualUpdateCheck; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private Q_SLOTS:
    void showConnectStatus(QString msg);
    void showRxStatus(qulonglong rxNum);
    void showTxStatus(qulonglong txNum);
    void onMessageRequested(QString text);
    void skinSelection(int skinType);
    void showHelpMenu();
    void showThemeMenu();
    void showLanguageMenu();
    void showAboutBox();
    void showShortcuts();
    // Opens a help document with the desktop's handler; a missing file, or
    // one that no program could open, is reported with its path.
    void openHelpDocument(const QString& path);
    void reportUnopenedDocument(const QString& path);
    void reportHelpProblem(const QString& problem);
    void checkForUpdates();
    void onUpdateCheckFinished(QString url);
    void onUpdateDownloadFinished(QString url, QString filepath);

private:
    void setupMenusAndUpdates();
    void setupUpdateChecks();
    // Text, style and cursor of the status bar's version label.
    void showVersionState();
    void buildThemeActions();
    void buildLanguageActions();
    void retranslateActions();
    // Where the help, theme and language menus open: the cursor's x and the
    // foot of the title bar.
    QPoint menuPosition() const;
    void retranslate();
    void updateFrameMargins();
    Qt::Edges edgesAt(const QPoint& pos) const;
    // A button that moved away from under the cursor keeps its hover look
    // until it gets a leave event; this sends it one.
    static void clearStaleHover(QWidget* button);

    CTitleBar* m_titleBar = nullptr;
    Session* m_session = nullptr;
    CStatusBar* m_statusBar = nullptr;
    QLabel* m_connectLbl = nullptr;
    QLabel* m_rxLbl = nullptr;
    QLabel* m_txLbl = nullptr;
    QLabel* m_versionLbl = nullptr;

    QActionGroup* m_themeGroup = nullptr;
    QList<QAction*> m_themeActions;
    QActionGroup* m_languageGroup = nullptr;
    QList<QAction*> m_languageActions;

    // What the version label shows: the version, a check in flight, a newer
    // release, or a downloaded installer.
    enum class VersionState
    {
        Version,
        Checking,
        UpdateAvailable,
        Downloaded
    };
    VersionState m_versionState = VersionState::Version;
    QString m_latestVersion;
    bool m_manualUpdateCheck = false;

    // Empty while the connection label still shows its start text.
    QString m_connectMsg;
    qulonglong m_rxNum = 0;
    qulonglong m_txNum = 0;
};
