#include "MainWindow.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "CDialog.h"
#include "CMenu.h"
#include "CStatusBar.h"
#include "CTitleBar.h"
#include "CorvaneApp.h"
#include "QSimpleUpdater.h"
#include "Session.h"
#include "ShortcutInfoWidget.h"
#include "SkinManager.h"
#include "StyleHelper.h"
#include "StyleWatcher.h"
#include "VersionInfoWidget.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHoverEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// Width of the invisible grip along the window's edges: without a system
// frame the window would otherwise not be resizable.
constexpr int kResizeBorder = 4;

const char kCheckIcon[] = ":/resources/img/Components/svg/gou.svg";

// Theme number and menu text, in menu order.
struct ThemeEntry
{
    int skin;
    const char* text;
};
const ThemeEntry kThemeMenu[] = {
    {0, QT_TRANSLATE_NOOP("MainWindow", "亮色主题")},
    {4, QT_TRANSLATE_NOOP("MainWindow", "暖色终端主题")},
    {5, QT_TRANSLATE_NOOP("MainWindow", "午夜信号主题")},
    {6, QT_TRANSLATE_NOOP("MainWindow", "森林实验室主题")},
    {1, QT_TRANSLATE_NOOP("MainWindow", "暗色主题")},
    {2, QT_TRANSLATE_NOOP("MainWindow", "深紫主题")},
    {3, QT_TRANSLATE_NOOP("MainWindow", "翡翠绿主题")},
};

// The user guide comes in both interface languages; the other two guides
// are written once.
const char kUserGuideChinese[] = "doc/CVN使用指南.pdf";
const char kUserGuideEnglish[] = "doc/CVN User Guide.pdf";
const char* const kOtherHelpDocuments[] = {"doc/Custom Protocol Definition Guide.pdf",
                                           "doc/LuaScriptAPI.pdf"};

MainWindow::DocumentOpener& documentOpener()
{
    static MainWindow::DocumentOpener opener;
    return opener;
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    // 1. Frameless window with the program's own title bar.
    setWindowFlag(Qt::FramelessWindowHint, true);
    resize(1200, 740);
    setObjectName(QStringLiteral("main-window"));
    setWindowTitle(QStringLiteral("Corvane"));
    setMouseTracking(true);

    // 2. Title bar.
    m_titleBar = new CTitleBar(this);
    m_titleBar->setTitleText(QStringLiteral("Corvane"));
    connect(m_titleBar, &CTitleBar::minBtnClicked, this, &QWidget::showMinimized);
    connect(m_titleBar, &CTitleBar::maxBtnClicked, this, [this] {
        showMaximized();
        QTimer::singleShot(0, this, [this] { clearStaleHover(m_titleBar->restoreButton()); });
    });
    connect(m_titleBar, &CTitleBar::restoreBtnClicked, this, [this] {
        showNormal();
        QTimer::singleShot(0, this, [this] { clearStaleHover(m_titleBar->maxButton()); });
    });
    connect(m_titleBar, &CTitleBar::closeBtnClicked, this, &QWidget::close);

    // 3. Status bar labels.
    m_connectLbl = new QLabel(this);
    m_connectLbl->setProperty("style", "info-lbl");
    m_rxLbl = new QLabel(this);
    m_rxLbl->setProperty("style", "common");
    m_rxLbl->setAlignment(Qt::AlignCenter);
    m_txLbl = new QLabel(this);
    m_txLbl->setProperty("style", "common");
    m_txLbl->setAlignment(Qt::AlignCenter);
    m_versionLbl = new QLabel(this);
    m_versionLbl->setProperty("style", "common");
    m_versionLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_versionLbl->setContentsMargins(0, 0, 10, 0);
    m_versionLbl->setCursor(Qt::PointingHandCursor);

    // 4. Status bar.
    m_statusBar = new CStatusBar(this);
    QPalette pal = m_statusBar->palette();
    pal.setBrush(QPalette::Window, QBrush(Qt::transparent));
    m_statusBar->setPalette(pal);
    m_statusBar->setFixedHeight(24);
    m_statusBar->addWidget(m_connectLbl, 3);
    m_statusBar->addWidget(m_rxLbl, 2);
    m_statusBar->addWidget(m_txLbl, 2);
    m_statusBar->addWidget(m_versionLbl, 3);

    // 5. Session and the central frame.
    m_session = new Session(this);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("main-frame"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_session, 1);
    layout->addWidget(m_statusBar);
    setCentralWidget(frame);
    updateFrameMargins();

    retranslate();

    // 6. Session signals. Messages are shown from the event loop, not from
    // inside whatever session code asked for them: the dialog runs a nested
    // loop, and the sender should not be re-entered while it is still busy.
    connect(m_session, &Session::connectStatusChanged, this, &MainWindow::showConnectStatus);
    connect(m_session, &Session::rxCountChanged, this, &MainWindow::showRxStatus);
    connect(m_session, &Session::txCountChanged, this, &MainWindow::showTxStatus);
    connect(m_session, &Session::messageRequested, this, &MainWindow::onMessageRequested,
            Qt::QueuedConnection);
    // Asked from the event loop, so the start text is what a fresh window shows
    // until the session reports.
    QTimer::singleShot(0, m_session, [session = m_session] { session->publishStatus(); });

    // 7. Menus, update checks, theme notification.
    setupMenusAndUpdates();
}

MainWindow::~MainWindow() = default;

void MainWindow::setupMenusAndUpdates()
{
    buildThemeActions();
    buildLanguageActions();
    connect(m_titleBar, &CTitleBar::aboutBtnClicked, this, &MainWindow::showHelpMenu);
    connect(m_titleBar, &CTitleBar::skinBtnClicked, this, &MainWindow::showThemeMenu);
    connect(m_titleBar, &CTitleBar::languageBtnClicked, this, &MainWindow::showLanguageMenu);
    connect(m_titleBar, &CTitleBar::headerBtnClicked, this, &MainWindow::showAboutBox);
    setupUpdateChecks();
    // Widgets that paint theme colours themselves follow the current theme.
    StyleWatcher::instance()->notifySkinChanged(AppConfig::Skin);
}

void MainWindow::buildThemeActions()
{
    m_themeGroup = new QActionGroup(this);
    m_themeGroup->setExclusive(true);
    m_themeActions.clear();
    for (int skin = 0; skin < SkinManager::kSkinCount; ++skin)
        m_themeActions << nullptr;
    for (const ThemeEntry& entry : kThemeMenu) {
        auto* action = new QAction(QIcon(QLatin1String(kCheckIcon)), QString(), this);
        action->setCheckable(true);
        action->setData(entry.skin);
        m_themeGroup->addAction(action);
        m_themeActions[entry.skin] = action;
    }
    // A number out of range checks nothing.
    if (AppConfig::Skin >= 0 && AppConfig::Skin < SkinManager::kSkinCount)
        m_themeActions[AppConfig::Skin]->setChecked(true);
    for (QAction* action : std::as_const(m_themeActions)) {
        action->setIconVisibleInMenu(action->isChecked());
        const int skin = action->data().toInt();
        // The old entry's toggle-off arrives first and finds its theme still
        // current, so only the toggle-on switches.
        connect(action, &QAction::toggled, this, [this, action, skin](bool checked) {
            skinSelection(skin);
            action->setChecked(checked);
            action->setIconVisibleInMenu(checked);
        });
    }
    retranslateActions();
}

void MainWindow::buildLanguageActions()
{
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);
    auto* english = new QAction(QIcon(QLatin1String(kCheckIcon)), QString(), this);
    auto* chinese = new QAction(QIcon(QLatin1String(kCheckIcon)), QString(), this);
    m_languageActions = {english, chinese};
    for (QAction* action : std::as_const(m_languageActions)) {
        action->setCheckable(true);
        m_languageGroup->addAction(action);
    }
    (AppConfig::Language ? english : chinese)->setChecked(true);
    english->setIconVisibleInMenu(english->isChecked());
    chinese->setIconVisibleInMenu(chinese->isChecked());
    // Every toggle loads its own language: the old entry's toggle-off comes
    // before the new entry's toggle-on, so the new language is the last one
    // installed.
    connect(english, &QAction::toggled, this, [english](bool checked) {
        english->setIconVisibleInMenu(checked);
        AppConfig::Language = true;
        CorvaneApp::loadLanguage(true);
    });
    connect(chinese, &QAction::toggled, this, [chinese](bool checked) {
        chinese->setIconVisibleInMenu(checked);
        AppConfig::Language = false;
        CorvaneApp::loadLanguage(false);
    });
    retranslateActions();
}

void MainWindow::retranslateActions()
{
    for (const ThemeEntry& entry : kThemeMenu) {
        if (QAction* action = m_themeActions.value(entry.skin))
            action->setText(tr(entry.text));
    }
    if (m_languageActions.size() == 2) {
        m_languageActions[0]->setText(tr("英语"));
        m_languageActions[1]->setText(tr("简体中文"));
    }
}

void MainWindow::skinSelection(int skinType)
{
    if (skinType == AppConfig::Skin)
        return;
    AppConfig::Skin = skinType;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // One repaint with the finished sheet instead of one per re-polished widget.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        w->setUpdatesEnabled(false);
    SkinManager::instance()->setSkin(skinType);
    for (QWidget* w : windows)
        w->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

QStringList MainWindow::helpDocuments()
{
    QStringList paths;
    paths << AppPaths::dataPath(
        QString::fromUtf8(AppConfig::Language ? kUserGuideEnglish : kUserGuideChinese));
    for (const char* doc : kOtherHelpDocuments)
        paths << AppPaths::dataPath(QString::fromUtf8(doc));
    return paths;
}

void MainWindow::setDocumentOpener(DocumentOpener opener)
{
    documentOpener() = std::move(opener);
}

void MainWindow::openHelpDocument(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        reportHelpProblem(tr("The help document is missing:\n%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    if (documentOpener()) {
        if (!documentOpener()(url))
            reportUnopenedDocument(path);
        return;
    }
    // QDesktopServices only tells whether xdg-open could be started, not
    // whether it found a program for the file; xdg-open's exit code does.
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            reportUnopenedDocument(path);
        return;
    }
    auto* process = new QProcess(this);
    process->setProgram(xdgOpen);
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this, [this, process, path](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0)
            reportUnopenedDocument(path);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, path](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        reportUnopenedDocument(path);
    });
    process->start();
}

void MainWindow::reportUnopenedDocument(const QString& path)
{
    reportHelpProblem(tr("No program on this desktop could open the help document. You can open it "
                         "yourself:\n%1")
                          .arg(QDir::toNativeSeparators(path)));
}

void MainWindow::reportHelpProblem(const QString& problem)
{
    qWarning().noquote() << "[MainWindow]" << problem;
    // From the event loop: the menu that asked is still closing.
    QMetaObject::invokeMethod(
        this, [this, problem] { CDialog::showMessage(this, tr("Warning"), problem); }, Qt::QueuedConnection);
}

QPoint MainWindow::menuPosition() const
{
    const QPoint foot = mapToGlobal(QPoint(0, m_titleBar->height() - 5));
    return QPoint(QCursor::pos().x(), foot.y());
}

void MainWindow::showHelpMenu()
{
    auto* menu = new CMenu(this);
    const QStringList docs = helpDocuments();
    const QString titles[] = {tr("User Guide"), tr("Custom Protocol Guide"), tr("Lua Script API Guide")};
    for (int i = 0; i < docs.size(); ++i) {
        const QString path = docs[i];
        menu->addAction(titles[i], this, [this, path] { openHelpDocument(path); });
    }
    menu->addSeparator();
    menu->addAction(tr("Keyboard Shortcuts"), this, &MainWindow::showShortcuts);
    menu->addAction(tr("About Qt"), this, [this] { QMessageBox::aboutQt(this, tr("About Qt")); });
    menu->popup(menuPosition());
}

void MainWindow::showThemeMenu()
{
    auto* menu = new CMenu(this);
    for (const ThemeEntry& entry : kThemeMenu)
        menu->addAction(m_themeActions[entry.skin]);
    menu->popup(menuPosition());
}

void MainWindow::showLanguageMenu()
{
    auto* menu = new CMenu(this);
    menu->addActions(m_languageActions);
    menu->popup(menuPosition());
}

void MainWindow::showAboutBox()
{
    auto* box = new VersionInfoWidget(this);
    connect(box, &VersionInfoWidget::checkUpdateClicked, this, &MainWindow::checkForUpdates);
    box->adjustSize();
    box->move(mapToGlobal(QPoint(10, m_titleBar->height() - 5)));
    box->show();
}

void MainWindow::showShortcuts()
{
    auto* list = new ShortcutInfoWidget(this);
    CorvaneApp::centreWindow(list);
    list->show();
}

void MainWindow::retranslate()
{
    if (m_connectMsg.isEmpty())
        m_connectLbl->setText(tr("Disconnected"));
    m_rxLbl->setText(tr("Rx: %1 Bytes").arg(m_rxNum));
    m_txLbl->setText(tr("Tx: %1 Bytes").arg(m_txNum));
    showVersionState();
}

void MainWindow::setupUpdateChecks()
{
    m_manualUpdateCheck = false;
    m_versionLbl->installEventFilter(this);
    const QString url = AppConfig::UpdateCheckUrl;
    if (url.isEmpty())
        return; // no address, no updater: nothing may touch the network
    QSimpleUpdater* updater = QSimpleUpdater::getInstance();
    updater->setUserAgentString(url, QStringLiteral("%1/%2 (Qt; QSimpleUpdater)")
                                         .arg(QLatin1String(CorvaneApp::kName), CorvaneApp::version()));
    updater->setModuleVersion(url, QStringLiteral("v%1").arg(CorvaneApp::version()));
    updater->setModuleName(url, QStringLiteral("Corvane"));
    updater->setNotifyOnUpdate(url, false);
    updater->setNotifyOnFinish(url, false);
    updater->setDownloaderEnabled(url, true);
    connect(updater, &QSimpleUpdater::checkingFinished, this, &MainWindow::onUpdateCheckFinished);
    connect(updater, &QSimpleUpdater::downloadFinished, this, &MainWindow::onUpdateDownloadFinished);
    if (AppConfig::AutoCheckUpdate) {
        QTimer::singleShot(1000, this, [this, url] {
            m_manualUpdateCheck = false;
            QSimpleUpdater::getInstance()->setNotifyOnFinish(url, false);
            QSimpleUpdater::getInstance()->checkForUpdates(url);
        });
    }
}

void MainWindow::checkForUpdates()
{
    const QString url = AppConfig::UpdateCheckUrl;
    if (url.isEmpty()) {
        CDialog::showMessage(this, tr("Warning"), tr("Update check URL is not configured."));
        return;
    }
    QSimpleUpdater* updater = QSimpleUpdater::getInstance();
    m_manualUpdateCheck = true;
    updater->setModuleVersion(url, QStringLiteral("v%1").arg(CorvaneApp::version()));
    updater->setNotifyOnUpdate(url, true);
    updater->setNotifyOnFinish(url, true);
    updater->checkForUpdates(url);
    m_versionState = VersionState::Checking;
    showVersionState();
}

void MainWindow::onUpdateCheckFinished(QString url)
{
    // Only the address this window asks about.
    if (url != AppConfig::UpdateCheckUrl)
        return;
    QSimpleUpdater* updater = QSimpleUpdater::getInstance();
    if (updater->getUpdateAvailable(url)) {
        m_latestVersion = updater->getLatestVersion(url);
        m_versionState = VersionState::UpdateAvailable;
        m_versionLbl->setCursor(Qt::PointingHandCursor);
    } else {
        m_versionState = VersionState::Version;
        m_versionLbl->setCursor(Qt::ArrowCursor);
    }
    showVersionState();
    if (m_manualUpdateCheck) {
        updater->setNotifyOnUpdate(url, false);
        updater->setNotifyOnFinish(url, false);
        m_manualUpdateCheck = false;
    }
}

void MainWindow::onUpdateDownloadFinished(QString url, QString filepath)
{
    Q_UNUSED(url);
    m_versionState = VersionState::Downloaded;
    showVersionState();
    qDebug().noquote() << "Update downloaded to:" << filepath;
}

void MainWindow::showVersionState()
{
    switch (m_versionState) {
    case VersionState::Version:
        m_versionLbl->setText(tr("Version: v%1").arg(CorvaneApp::version()));
        StyleHelper::setStyle(m_versionLbl, QStringLiteral("common"));
        break;
    case VersionState::Checking:
        m_versionLbl->setText(tr("Checking for updates..."));
        StyleHelper::setStyle(m_versionLbl, QStringLiteral("info-lbl"));
        break;
    case VersionState::UpdateAvailable:
        m_versionLbl->setText(tr("%1 Update").arg(m_latestVersion));
        StyleHelper::setStyle(m_versionLbl, QStringLiteral("warn-lbl"));
        break;
    case VersionState::Downloaded:
        m_versionLbl->setText(tr("Update downloaded — please install"));
        StyleHelper::setStyle(m_versionLbl, QStringLiteral("info-lbl"));
        break;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_versionLbl && event->type() == QEvent::MouseButtonRelease)
        checkForUpdates();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showConnectStatus(QString msg)
{
    m_connectMsg = msg;
    m_connectLbl->setText(msg);
    // The session sends its text translated; "Disconnect" in any language is
    // the closed-port state, not a connection.
    const bool closed =
        msg == QLatin1String("Disconnect") || msg == QCoreApplication::translate("Session", "Disconnect");
    // While the device is being reopened neither state is true: a warning.
    const bool reconnecting = m_session && m_session->isReconnecting();
    StyleHelper::setStyle(m_connectLbl, reconnecting ? QStringLiteral("warn-lbl")
                                        : closed     ? QStringLiteral("info-lbl")
                                                     : QStringLiteral("ok-lbl"));
}

void MainWindow::showRxStatus(qulonglong rxNum)
{
    m_rxNum = rxNum;
    m_rxLbl->setText(tr("Rx: %1 Bytes").arg(rxNum));
}

void MainWindow::showTxStatus(qulonglong txNum)
{
    m_txNum = txNum;
    m_txLbl->setText(tr("Tx: %1 Bytes").arg(txNum));
}

void MainWindow::onMessageRequested(QString text)
{
    CDialog::showMessage(this, tr("Warning"), text);
}

void MainWindow::clearStaleHover(QWidget* button)
{
    if (!button)
        return;
    const QPoint cursor = QCursor::pos();
    const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    if (onScreen.contains(cursor))
        return;
    QCoreApplication::postEvent(button, new QEvent(QEvent::Leave));
    if (button->testAttribute(Qt::WA_Hover)) {
        const QPointF local = button->mapFromGlobal(QPointF(cursor));
        QCoreApplication::postEvent(button,
                                    new QHoverEvent(QEvent::HoverLeave, local, QPointF(cursor), local));
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    AppConfig::MainWinWidth = width();
    AppConfig::MainWinHeight = height();
    // The window still closes, but the user learns that this run's settings
    // (theme, port, log options...) did not reach the file.
    if (!AppConfig::saveConfiguration())
        CDialog::showMessage(this, tr("Warning"),
                             tr("Failed to save the settings to:\n%1\nChanges made in this session are lost.")
                                 .arg(QDir::toNativeSeparators(AppConfig::filePath())));
    m_session->shutdown();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LanguageChange:
        retranslate();
        retranslateActions();
        break;
    case QEvent::WindowStateChange:
        m_titleBar->setMaximizedState(isMaximized());
        updateFrameMargins();
        break;
    default:
        break;
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::updateFrameMargins()
{
    const int border = (isMaximized() || isFullScreen()) ? 0 : kResizeBorder;
    setContentsMargins(border, border, border, border);
}

Qt::Edges MainWindow::edgesAt(const QPoint& pos) const
{
    Qt::Edges edges;
    if (isMaximized() || isFullScreen())
        return edges;
    if (pos.x() < kResizeBorder)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kResizeBorder)
        edges |= Qt::RightEdge;
    if (pos.y() < kResizeBorder)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - kResizeBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle() &&
        windowHandle()->startSystemResize(edges)) {
        event->accept();
        return;
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::leaveEvent(QEvent* event)
{
    unsetCursor();
    QMainWindow::leaveEvent(event);
}
