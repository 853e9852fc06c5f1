#include "MainWindow.h"

#include "AppConfig.h"
#include "CDialog.h"
#include "CStatusBar.h"
#include "CTitleBar.h"
#include "CorvaneApp.h"
#include "Session.h"
#include "StyleHelper.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFrame>
#include <QHoverEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
// Width of the invisible grip along the window's edges: without a system
// frame the window would otherwise not be resizable.
constexpr int kResizeBorder = 4;
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
    // The theme and language menus, the help menu, the about box and the
    // update checker attach here; the title bar's about, skin, language and
    // header buttons are connected then as well.
}

void MainWindow::retranslate()
{
    if (m_connectMsg.isEmpty())
        m_connectLbl->setText(tr("Disconnected"));
    m_rxLbl->setText(tr("Rx: %1 Bytes").arg(m_rxNum));
    m_txLbl->setText(tr("Tx: %1 Bytes").arg(m_txNum));
    m_versionLbl->setText(tr("Version: v%1").arg(CorvaneApp::version()));
}

void MainWindow::showConnectStatus(QString msg)
{
    m_connectMsg = msg;
    m_connectLbl->setText(msg);
    StyleHelper::setStyle(m_connectLbl, msg == QLatin1String("Disconnect") ? QStringLiteral("info-lbl")
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
    AppConfig::saveConfiguration();
    m_session->shutdown();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LanguageChange:
        retranslate();
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
