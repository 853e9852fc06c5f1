#include "MultiChannelWaveformWidget.h"

#include "CDialog.h"
#include "CMenu.h"
#include "CProgressDialog.h"
#include "CScrollBar64.h"
#include "MeasureFormat.h"
#include "SkinManager.h"
#include "StyleWatcher.h"
#include "TimeAxis.h"
#include "TraceColumnSpans.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {
// Dashed grid lines: 6 pixels on, 6 off. Dash lengths count in pen widths,
// so a half-pixel pen needs twice the figures. Callers put these lines on
// pixel centres (+0.5): a half-pixel line on a pixel edge covers no pixel
// centre and vanishes on a surface without multisampling.
QPen dashedPen(const QColor& color)
{
    constexpr qreal width = 0.5;
    QPen pen(color, width, Qt::CustomDashLine);
    pen.setDashPattern({6.0 / width, 6.0 / width});
    return pen;
}
} // namespace

MultiChannelWaveformWidget::MultiChannelWaveformWidget(QWidget* parent) : QOpenGLWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    m_hScroll = new CScrollBar64(Qt::Horizontal, this);
    m_hScroll->hide();
    m_vScroll = new QScrollBar(Qt::Vertical, this);
    m_vScroll->hide();
    connect(m_hScroll, &CScrollBar64::valueChanged64, this,
            &MultiChannelWaveformWidget::onHorizontalScrollBarValueChanged);
    connect(m_vScroll, &QScrollBar::valueChanged, this,
            &MultiChannelWaveformWidget::onVerticalScrollBarValueChanged);

    // A plot created after the theme was applied must not wait for the next
    // switch to learn whether it sits on a light background.
    m_lightTheme = StyleWatcher::instance()->skinType() == 0;
    connect(StyleWatcher::instance(), &StyleWatcher::skinChanged, this,
            &MultiChannelWaveformWidget::onSkinChanged);
    SkinManager::instance()->registerWidget(this);

    m_inertiaTimer = new QTimer(this);
    m_inertiaTimer->setInterval(PanInertia::kTickMs);
    connect(m_inertiaTimer, &QTimer::timeout, this, &MultiChannelWaveformWidget::updateInertia);

    m_nameEditor = new QLineEdit(this);
    m_nameEditor->setMaxLength(64);
    m_nameEditor->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_nameEditor->hide();
    m_nameEditor->installEventFilter(this);
    connect(m_nameEditor, &QLineEdit::editingFinished, this, &MultiChannelWaveformWidget::commitNameEdit);

    m_cursorShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), this);
    m_cursorShortcut->setContext(Qt::ApplicationShortcut);
    connect(m_cursorShortcut, &QShortcut::activated, this,
            &MultiChannelWaveformWidget::onActivateCursorCreation);
    m_rangeShortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+G")), this);
    m_rangeShortcut->setContext(Qt::ApplicationShortcut);
    connect(m_rangeShortcut, &QShortcut::activated, this,
            &MultiChannelWaveformWidget::onActivateRegionSelection);

    m_saveWatcher = new QFutureWatcher<CsvSaveResult>(this);
    connect(m_saveWatcher, &QFutureWatcherBase::finished, this,
            &MultiChannelWaveformWidget::onSaveCsvLoadFinished);
    m_parseWatcher = new QFutureWatcher<CsvParseResult>(this);
    connect(m_parseWatcher, &QFutureWatcherBase::finished, this,
            &MultiChannelWaveformWidget::onReplayCsvLoadFinished);
    m_imageWatcher = new QFutureWatcher<QString>(this);
    connect(m_imageWatcher, &QFutureWatcherBase::finished, this, [this] {
        m_savingImage = false;
        const QString error =
            m_imageWatcher->future().resultCount() > 0 ? m_imageWatcher->result() : QString();
        if (!error.isEmpty())
            warn(error);
    });

    buildMenus();
}

MultiChannelWaveformWidget::~MultiChannelWaveformWidget()
{
    // A replay nobody will see is stopped; an export runs on with its own
    // copy of the data and still writes the user's file.
    m_parseWatcher->disconnect(this);
    m_parseWatcher->cancel();
    m_saveWatcher->disconnect(this);
    m_imageWatcher->disconnect(this);
    // GL objects go with their context.
    if (context()) {
        makeCurrent();
        m_trace.destroy();
        doneCurrent();
    }
}

// ---- data -------------------------------------------------------------------

int MultiChannelWaveformWidget::addChannel(const QString& name)
{
    const int id = m_store.addChannel(name);
    m_store.clampView();
    applyScrollBars();
    update();
    return id;
}

void MultiChannelWaveformWidget::appendChannelData(int id, const QVector<WaveformSample>& samples)
{
    if (!m_store.hasChannel(id))
        return;
    m_store.appendChannelData(id, samples);
    applyScrollBars();
    update();
}

void MultiChannelWaveformWidget::setChannelVisible(int id, bool visible)
{
    if (!m_store.setChannelVisible(id, visible))
        return;
    m_store.clampView();
    applyScrollBars();
    emit channelVisibleChanged(id, visible);
    update();
}

void MultiChannelWaveformWidget::startRecording()
{
    if (m_store.isRecording())
        return;
    m_store.startRecording();
    clearData();
}

void MultiChannelWaveformWidget::stopRecording()
{
    m_store.stopRecording();
    update();
}

void MultiChannelWaveformWidget::clearData()
{
    m_store.clearData();
    // Pairs and ranges go silently here; "Delete Data" and the record
    // button remove the pairs with their signals first.
    m_pairs.clear();
    m_selectedPair = -1;
    m_creatingCursorPair = false;
    m_creationStep = 0;
    m_createTime1 = m_createTime2 = 0;
    m_ranges.clear();
    m_selectedRange = -1;
    m_rangeArmed = m_rangeDragging = m_rangeEdgeDrag = false;
    m_rangeChannel = m_rangeEdgeIndex = -1;
    m_rangeStart = m_rangeEnd = 0;
    m_store.clampView();
    applyScrollBars();
    update();
}

void MultiChannelWaveformWidget::setSampleRate(double rate)
{
    m_store.setSampleRate(rate);
}

void MultiChannelWaveformWidget::clearCursorPairs()
{
    for (int i = int(m_pairs.size()) - 1; i >= 0; --i)
        emit cursorPairRemoved(m_pairs.at(i).index);
    m_pairs.clear();
    m_selectedPair = -1;
    m_creatingCursorPair = false;
    m_creationStep = 0;
    m_createTime1 = m_createTime2 = 0;
    setCursor(Qt::ArrowCursor);
    update();
}

void MultiChannelWaveformWidget::clearRangeMeasures()
{
    m_ranges.clear();
    m_selectedRange = -1;
    m_rangeEdgeDrag = false;
    m_rangeEdgeIndex = -1;
    update();
}

void MultiChannelWaveformWidget::fitView()
{
    if (m_store.fitView())
        refreshView();
}

void MultiChannelWaveformWidget::resizeAllChannelsToMatch()
{
    if (m_store.resizeAllChannelsToMatch(m_store.channelAtY(m_lastMousePos.y())))
        refreshView();
}

void MultiChannelWaveformWidget::restoreYAxisRange()
{
    m_store.restoreAllAutoRanges();
    update();
}

void MultiChannelWaveformWidget::deleteDataWithConfirmation()
{
    QMessageBox box(QMessageBox::Warning, tr("Warning"), tr("Are you sure you want to delete all data?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() == QMessageBox::Yes)
        deleteAllData();
}

void MultiChannelWaveformWidget::deleteAllData()
{
    clearCursorPairs();
    clearRangeMeasures();
    clearData();
}

void MultiChannelWaveformWidget::refreshView()
{
    m_store.clampView();
    applyScrollBars();
    update();
}

// ---- geometry -----------------------------------------------------------------

QRect MultiChannelWaveformWidget::plotRect() const
{
    const int left = m_store.labelColumnWidth();
    const int top = m_store.headerHeight();
    const int bar = m_store.scrollBarThickness();
    return QRect(left, top, qMax(0, width() - bar - left), qMax(0, height() - bar - top));
}

QRect MultiChannelWaveformWidget::bandRect(int id) const
{
    const WaveformChannel* ch = m_store.channel(id);
    const int offset = m_store.bandOffset(id);
    if (!ch || offset < 0)
        return QRect();
    const int y0 = m_store.headerHeight() + offset - m_store.scrollOffset();
    return QRect(0, y0, width() - m_store.scrollBarThickness(), ch->height);
}

QRect MultiChannelWaveformWidget::fitButtonRect(int id) const
{
    const QRect band = bandRect(id);
    if (band.isNull())
        return QRect();
    return QRect(width() - m_store.scrollBarThickness() - kFitButtonSize - 6, band.top() + 4, kFitButtonSize,
                 kFitButtonSize);
}

QColor MultiChannelWaveformWidget::traceColor(int id) const
{
    const WaveformChannel* ch = m_store.channel(id);
    if (!ch)
        return QColor();
    if (m_lightTheme && id % 8 == 0)
        return ch->color.darker(250);
    return ch->color;
}

// ---- colours ------------------------------------------------------------------

void MultiChannelWaveformWidget::setColour(QColor& slot, const QColor& color)
{
    if (slot == color)
        return;
    slot = color;
    update();
}

void MultiChannelWaveformWidget::setBgColor(const QColor& color)
{
    setColour(m_bgColor, color);
}

void MultiChannelWaveformWidget::setGridLineColor(const QColor& color)
{
    setColour(m_gridLineColor, color);
}

void MultiChannelWaveformWidget::setAxisLabelColor(const QColor& color)
{
    setColour(m_axisLabelColor, color);
}

void MultiChannelWaveformWidget::setAxisLabelBgColor(const QColor& color)
{
    setColour(m_axisLabelBgColor, color);
}

void MultiChannelWaveformWidget::setChannelNameColor(const QColor& color)
{
    setColour(m_channelNameColor, color);
}

void MultiChannelWaveformWidget::setMarkerColor(const QColor& color)
{
    setColour(m_markerColor, color);
}

void MultiChannelWaveformWidget::setMarkerLineColor(const QColor& color)
{
    setColour(m_markerLineColor, color);
}

// ---- slots ----------------------------------------------------------------------

void MultiChannelWaveformWidget::onSkinChanged(int skinType)
{
    m_lightTheme = (skinType == 0);
    update();
}

void MultiChannelWaveformWidget::updateInertia()
{
    double dx = 0.0;
    if (!m_inertia.tick(dx)) {
        m_inertiaTimer->stop();
        return;
    }
    m_store.panByPixels(dx);
    applyScrollBars();
    update();
}

bool MultiChannelWaveformWidget::isInertiaRunning() const
{
    return m_inertiaTimer->isActive();
}

void MultiChannelWaveformWidget::updateRecordingTime() {}

void MultiChannelWaveformWidget::onActivateCursorCreation()
{
    if (m_store.isRecording())
        return;
    m_creatingCursorPair = true;
    m_creationStep = 1;
    for (CursorPair& pair : m_pairs)
        pair.selected = false;
    m_selectedPair = -1;
    m_createTime1 = 0;
    m_createTime2 = 0;
    m_createColor = CursorPair::nextColor();
    if (inPlotArea(m_lastMousePos))
        m_createTime1 = snappedTimeAt(m_lastMousePos);
    update();
}

void MultiChannelWaveformWidget::onActivateRegionSelection()
{
    if (m_store.isRecording())
        return;
    m_creatingCursorPair = false;
    m_creationStep = 0;
    m_rangeArmed = true;
    for (RangeMeasure& range : m_ranges)
        range.selected = false;
    m_selectedRange = -1;
    m_rangeChannel = m_store.channelAtY(m_lastMousePos.y());
    m_rangeStart = m_rangeEnd = 0;
    update();
}

void MultiChannelWaveformWidget::onDeleteSelectedCursorPair()
{
    if (m_selectedPair < 0 || m_selectedPair >= m_pairs.size())
        return;
    emit cursorPairRemoved(m_pairs.at(m_selectedPair).index);
    m_pairs.removeAt(m_selectedPair);
    m_selectedPair = -1;
    update();
}

void MultiChannelWaveformWidget::onDeleteSelectedRegion()
{
    if (m_selectedRange < 0 || m_selectedRange >= m_ranges.size())
        return;
    m_ranges.removeAt(m_selectedRange);
    m_selectedRange = -1;
    update();
}

void MultiChannelWaveformWidget::onVerticalScrollBarValueChanged(int value)
{
    m_store.setScrollOffset(value);
    update();
}

void MultiChannelWaveformWidget::onHorizontalScrollBarValueChanged(qint64 value)
{
    if (m_store.timeScale() <= 0)
        return;
    m_store.setViewStart(value);
    m_store.clampView();
    applyScrollBars();
    update();
}

// ---- CSV and image files -------------------------------------------------------

QString MultiChannelWaveformWidget::fileSizeText(qint64 bytes)
{
    if (bytes < 1024)
        return tr("%1 B").arg(bytes);
    if (bytes < (qint64(1) << 20))
        return tr("%1 KB").arg(double(bytes) / 1024.0, 0, 'g', QLocale::FloatingPointShortest);
    if (bytes < (qint64(1) << 30))
        return tr("%1 MB").arg(double(bytes) / double(1 << 20), 0, 'g', QLocale::FloatingPointShortest);
    return tr("%1 GB").arg(double(bytes) / double(1 << 30), 0, 'g', QLocale::FloatingPointShortest);
}

void MultiChannelWaveformWidget::warn(const QString& text)
{
    CDialog::showMessage(this, tr("Warning"), text);
}

QString MultiChannelWaveformWidget::askFileName(bool save, const QString& title, const QString& filter)
{
    QFileDialog dialog(this, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(filter.contains(QLatin1String("*.png")) ? QStringLiteral("png")
                                                                        : QStringLiteral("csv"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

CProgressDialog* MultiChannelWaveformWidget::makeProgressDialog(const QString& title, const QString& text,
                                                                int showDelayMs, QFutureWatcherBase* watcher)
{
    auto* dlg = new CProgressDialog(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setTitle(title);
    dlg->setStatusText(text);
    dlg->setProgress(0, 100);
    connect(dlg, &CProgressDialog::canceled, watcher, &QFutureWatcherBase::cancel);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, dlg,
            [dlg](int value) { dlg->setProgress(value, 100); });
    if (showDelayMs <= 0) {
        dlg->show();
    } else {
        // Quick jobs finish before this and never flash a window.
        QTimer::singleShot(showDelayMs, dlg, [dlg] { dlg->show(); });
    }
    return dlg;
}

bool MultiChannelWaveformWidget::exportToCSV(const QString& fileName)
{
    if (fileName.isEmpty()) {
        warn(tr("file name is invalid!"));
        return false;
    }
    if (isExporting())
        return false;
    delete m_saveProgress;
    m_saveProgress = makeProgressDialog(tr("Save CSV"), tr("Saving data..."), 0, m_saveWatcher);
    m_exporting = true;
    m_saveWatcher->setFuture(WaveformCsvExporter::start(m_store.channels(), fileName));
    return true;
}

void MultiChannelWaveformWidget::onSaveCsvLoadFinished()
{
    m_exporting = false;
    delete m_saveProgress;
    const QFuture<CsvSaveResult> future = m_saveWatcher->future();
    if (future.isCanceled() || future.resultCount() == 0)
        return;
    // The task wrote the file itself (through a temporary file that only
    // replaces the target when complete); what is left is its verdict.
    const CsvSaveResult result = future.result();
    if (!result.errorMessage.isEmpty())
        warn(result.errorMessage);
}

bool MultiChannelWaveformWidget::replayFromCSV(const QString& fileName)
{
    if (isReplaying())
        return false;
    QFile probe(fileName);
    if (!probe.open(QIODevice::ReadOnly)) {
        // The store is still untouched: nothing is lost, but say why.
        warn(tr("Failed to open file:\n%1").arg(fileName));
        return false;
    }
    const qint64 fileSize = probe.size();
    probe.close();

    clearData();
    const CsvReplayHeader header = WaveformCsvParser::readHeader(fileName);
    if (!header.ok) {
        // The data is gone already, so the user must learn why nothing came.
        refreshView();
        warn(tr("The file %1 cannot be replayed:\n%2")
                 .arg(QFileInfo(fileName).fileName(), header.errorMessage));
        return false;
    }
    m_replayColumns = WaveformCsvReplay::mapColumns(m_store, header);
    refreshView();

    delete m_replayProgress;
    const QString text =
        tr("Loading %1 (%2) ...").arg(QFileInfo(fileName).fileName(), fileSizeText(fileSize));
    m_replayProgress =
        makeProgressDialog(tr("Replay CSV"), text, fileSize <= 0xA00000 ? 4000 : 0, m_parseWatcher);
    m_replaying = true;
    m_parseWatcher->setFuture(WaveformCsvParser::start(fileName, header.unitFactor, header.unitsPerSecond,
                                                       int(m_replayColumns.size()), m_store.sampleRate(),
                                                       fileSize));
    return true;
}

void MultiChannelWaveformWidget::onReplayCsvLoadFinished()
{
    m_replaying = false;
    delete m_replayProgress;
    const QFuture<CsvParseResult> future = m_parseWatcher->future();
    // Cancelled: the cleared store keeps the prepared channels.
    if (future.isCanceled() || future.resultCount() == 0) {
        refreshView();
        return;
    }
    const CsvParseResult result = future.result();
    if (!result.errorMessage.isEmpty()) {
        refreshView();
        warn(result.errorMessage);
        return;
    }
    const QList<int> changed = WaveformCsvReplay::apply(m_store, result, m_replayColumns);
    for (int id : changed)
        Q_EMIT channelVisibleChanged(id, m_store.channel(id)->visible);
    refreshView();
}

bool MultiChannelWaveformWidget::saveImage(const QString& fileName)
{
    if (fileName.isEmpty() || m_savingImage)
        return false;
    const QImage image = grabFramebuffer();
    if (image.isNull())
        return false;
    // Encoding and writing go to the pool; the picture is taken here, as shown.
    QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        format = "png";
    m_savingImage = true;
    m_imageWatcher->setFuture(QtConcurrent::run([image, fileName, format]() -> QString {
        QImageWriter writer(fileName, format);
        if (writer.write(image))
            return QString();
        return tr("Can't save image %1!").arg(fileName) + QLatin1Char('\n') + writer.errorString();
    }));
    return true;
}

void MultiChannelWaveformWidget::onSaveCsvTriggered()
{
    bool any = false;
    for (const WaveformChannel& ch : m_store.channels())
        any = any || !ch.samples.isEmpty();
    if (!any) {
        warn(tr("Have no data to save!"));
        return;
    }
    const QString name = askFileName(true, tr("Export CSV"), tr("CSV Files (*.csv)"));
    if (!name.isEmpty())
        exportToCSV(name);
}

void MultiChannelWaveformWidget::onReplayCsvTriggered()
{
    if (isReplaying())
        return;
    if (m_store.hasData()) {
        QMessageBox box(QMessageBox::Warning, tr("Warning"),
                        tr("The replay function requires deleting the current data. \nAre you sure you want "
                           "to delete the current data?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
        deleteAllData();
    }
    const QString name = askFileName(false, tr("Replay CSV"), tr("CSV Files (*.csv)"));
    if (!name.isEmpty())
        replayFromCSV(name);
}

void MultiChannelWaveformWidget::onSaveImageTriggered()
{
    const QString name = askFileName(true, tr("Save Waveform"), tr("Image (*.png)"));
    if (!name.isEmpty())
        saveImage(name);
}

// ---- scroll bars ----------------------------------------------------------------

void MultiChannelWaveformWidget::applyScrollBars()
{
    const WaveformStore::HorizontalBar& hb = m_store.horizontalBar();
    {
        const QSignalBlocker blocker(m_hScroll);
        m_hScroll->setRange64(hb.min, hb.max, hb.page);
        m_hScroll->setValue64(hb.value);
    }
    m_hScroll->setVisible(hb.visible);

    const WaveformStore::VerticalBar& vb = m_store.verticalBar();
    {
        const QSignalBlocker blocker(m_vScroll);
        m_vScroll->setRange(vb.min, vb.max);
        m_vScroll->setPageStep(vb.page);
        m_vScroll->setValue(vb.value);
    }
    m_vScroll->setVisible(vb.visible);
}

void MultiChannelWaveformWidget::placeScrollBars()
{
    const int bar = m_store.scrollBarThickness();
    const int header = m_store.headerHeight();
    const int left = m_store.labelColumnWidth();
    m_vScroll->setGeometry(width() - bar, header, bar, qMax(0, height() - bar - header));
    m_hScroll->setGeometry(left, height() - bar, qMax(0, width() - bar - left), bar);
}

void MultiChannelWaveformWidget::resizeEvent(QResizeEvent* event)
{
    QOpenGLWidget::resizeEvent(event);
    m_store.setWidgetSize(width(), height());
    m_store.recomputeContentHeight();
    const QList<int> ids = m_store.channelIds();
    if (!ids.isEmpty()) {
        const WaveformChannel* first = m_store.channel(ids.first());
        if (first && first->visible)
            m_store.setScrollOffset(m_store.bandOffset(ids.first()));
    }
    m_store.clampView();
    placeScrollBars();
    applyScrollBars();
}

// ---- pointer --------------------------------------------------------------------

bool MultiChannelWaveformWidget::overScrollBars(const QPoint& pos) const
{
    const int bar = m_store.scrollBarThickness();
    return pos.x() >= width() - bar || pos.y() >= height() - bar;
}

bool MultiChannelWaveformWidget::inPlotArea(const QPoint& pos) const
{
    const int bar = m_store.scrollBarThickness();
    return pos.x() >= m_store.labelColumnWidth() && pos.x() < width() - bar &&
           pos.y() >= m_store.headerHeight() && pos.y() < height() - bar;
}

qint64 MultiChannelWaveformWidget::snappedTimeAt(const QPoint& pos) const
{
    return m_store.snapTime(m_store.channelAtY(pos.y()), m_store.xToTime(pos.x()));
}

QRect MultiChannelWaveformWidget::nameRect(int id) const
{
    const WaveformChannel* ch = m_store.channel(id);
    const QRect band = bandRect(id);
    if (!ch || band.isNull())
        return QRect();
    const QFontMetrics fm = fontMetrics();
    const int h = fm.height() + 4;
    return QRect(WaveformStore::kMinLabelColumnWidth, band.top() + (band.height() - h) / 2,
                 fm.horizontalAdvance(ch->name), h);
}

bool MultiChannelWaveformWidget::nearMeasureLine(const QPoint& pos) const
{
    for (const CursorPair& pair : m_pairs) {
        if (qAbs(pos.x() - m_store.timeToX(pair.time1)) <= 10 ||
            qAbs(pos.x() - m_store.timeToX(pair.time2)) <= 10)
            return true;
    }
    if (m_selectedRange >= 0 && m_selectedRange < m_ranges.size()) {
        const RangeMeasure& r = m_ranges.at(m_selectedRange);
        if (qAbs(pos.x() - m_store.timeToX(r.earlier())) <= 10 ||
            qAbs(pos.x() - m_store.timeToX(r.later())) <= 10)
            return true;
    }
    return false;
}

void MultiChannelWaveformWidget::updateCursorShape(const QPoint& pos)
{
    const int left = m_store.labelColumnWidth();
    Qt::CursorShape shape = Qt::ArrowCursor;
    const int under = m_store.channelAtY(pos.y());
    if (under >= 0 && fitButtonRect(under).contains(pos)) {
        shape = Qt::PointingHandCursor;
    } else if (qAbs(pos.x() - left) < 5) {
        shape = Qt::SplitHCursor;
    } else if (pos.x() < left) {
        for (int id : m_store.channelIds()) {
            const QRect band = bandRect(id);
            if (!band.isNull() && qAbs(pos.y() - (band.top() + band.height())) < 5) {
                shape = Qt::SplitVCursor;
                break;
            }
        }
    } else if (inPlotArea(pos) && nearMeasureLine(pos)) {
        shape = Qt::SplitHCursor;
    }
    setCursor(shape);
}

void MultiChannelWaveformWidget::updatePointerState(const QPoint& pos)
{
    const bool overPlot = inPlotArea(pos);
    m_crosshair.visible = overPlot && !nearMeasureLine(pos);
    m_crosshair.x = pos.x();
    m_crosshair.y = pos.y();
    m_crosshair.channel = overPlot ? m_store.channelAtY(pos.y()) : -1;
    m_crosshair.time = m_store.xToTime(pos.x());
    m_crosshair.value = 0.0;
    if (const WaveformChannel* ch = m_store.channel(m_crosshair.channel)) {
        const QRect band = bandRect(m_crosshair.channel);
        m_crosshair.value =
            WaveformStore::yToValue(pos.y(), band.top(), band.height(), ch->displayMin, ch->displayMax);
    }

    m_hoverFitChannel = -1;
    const int under = m_store.channelAtY(pos.y());
    if (under >= 0 && fitButtonRect(under).contains(pos))
        m_hoverFitChannel = under;
}

void MultiChannelWaveformWidget::updateRangeStats(RangeMeasure& range) const
{
    const WaveformStore::RangeStats stats = m_store.rangeStatistics(range.channel, range.time1, range.time2);
    range.minimum = stats.minimum;
    range.maximum = stats.maximum;
    range.average = stats.average;
    range.peakToPeak = stats.peakToPeak;
    range.count = stats.count;
}

bool MultiChannelWaveformWidget::pressMeasuringTools(const QPoint& pos)
{
    if (!inPlotArea(pos))
        return false;

    if (m_creatingCursorPair) {
        const qint64 t = snappedTimeAt(pos);
        if (m_creationStep == 1) {
            m_createTime1 = m_createTime2 = t;
            m_creationStep = 2;
        } else {
            for (CursorPair& other : m_pairs)
                other.selected = false;
            CursorPair pair;
            pair.index = m_pairCounter++;
            pair.time1 = m_createTime1;
            pair.time2 = t;
            pair.color = m_createColor;
            pair.selected = true;
            m_pairs.append(pair);
            m_selectedPair = int(m_pairs.size()) - 1;
            m_creatingCursorPair = false;
            m_creationStep = 0;
            m_createTime1 = m_createTime2 = 0;
            setCursor(Qt::ArrowCursor);
            emit cursorPairChanged(pair.index, pair.time1, pair.time2);
        }
        update();
        return true;
    }

    if (m_rangeArmed) {
        for (RangeMeasure& range : m_ranges)
            range.selected = false;
        m_selectedRange = -1;
        m_rangeDragging = true;
        m_rangeChannel = m_store.channelAtY(pos.y());
        m_rangeStart = m_rangeEnd = m_store.xToTime(pos.x());
        update();
        return true;
    }

    if (!m_ranges.isEmpty()) {
        const qint64 t = m_store.xToTime(pos.x());
        const int c = m_store.channelAtY(pos.y());
        if (m_selectedRange >= 0 && m_selectedRange < m_ranges.size() &&
            m_ranges.at(m_selectedRange).channel == c) {
            const RangeMeasure& r = m_ranges.at(m_selectedRange);
            const bool nearLeft = qAbs(pos.x() - m_store.timeToX(r.earlier())) <= 10;
            const bool nearRight = qAbs(pos.x() - m_store.timeToX(r.later())) <= 10;
            if (nearLeft || nearRight) {
                const qint64 edge = nearLeft ? r.earlier() : r.later();
                m_rangeEdgeDrag = true;
                m_rangeEdgeIndex = m_selectedRange;
                m_rangeEdge = (r.time1 == edge) ? 1 : 2;
                setCursor(Qt::SplitHCursor);
                update();
                return true;
            }
        }
        int candidate = -1;
        for (int i = 0; i < m_ranges.size(); ++i) {
            RangeMeasure& r = m_ranges[i];
            r.selected = false;
            if (r.channel == c && r.earlier() <= t && t <= r.later())
                candidate = i;
        }
        if (candidate >= 0)
            m_ranges[candidate].selected = true;
        m_selectedRange = candidate;
    }

    int between = -1;
    for (int i = 0; i < m_pairs.size(); ++i) {
        CursorPair& pair = m_pairs[i];
        const int x1 = m_store.timeToX(pair.time1);
        const int x2 = m_store.timeToX(pair.time2);
        const bool line1 = qAbs(pos.x() - x1) <= 10;
        if (line1 || qAbs(pos.x() - x2) <= 10) {
            for (CursorPair& other : m_pairs)
                other.selected = false;
            pair.selected = true;
            pair.draggingLine1 = line1;
            pair.draggingLine2 = !line1;
            m_selectedPair = i;
            setCursor(Qt::SplitHCursor);
            update();
            return true;
        }
        if (pos.x() >= qMin(x1, x2) && pos.x() <= qMax(x1, x2))
            between = i;
    }
    for (int i = 0; i < m_pairs.size(); ++i)
        m_pairs[i].selected = (i == between);
    m_selectedPair = between;
    update();
    return false;
}

void MultiChannelWaveformWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_lastMousePos = pos;
    if (event->button() != Qt::LeftButton || overScrollBars(pos)) {
        QOpenGLWidget::mousePressEvent(event);
        return;
    }
    commitNameEdit();
    setFocus(Qt::MouseFocusReason);
    // Any press catches a view still coasting from a fling.
    m_inertiaTimer->stop();
    m_inertia.stop();

    const int left = m_store.labelColumnWidth();
    const int under = m_store.channelAtY(pos.y());
    if (under >= 0 && fitButtonRect(under).contains(pos)) {
        m_store.restoreAutoRange(under);
        update();
        return;
    }
    if (pressMeasuringTools(pos))
        return;
    if (qAbs(pos.x() - left) < 5) {
        m_labelDrag = true;
        m_labelPressX = pos.x();
        m_labelWidthAtPress = left;
        setCursor(Qt::SplitHCursor);
        return;
    }
    if (pos.x() < left && left > 60 && under >= 0 && nameRect(under).contains(pos)) {
        startNameEdit(under);
        return;
    }
    if (pos.x() > left) {
        m_panning = true;
        m_panLastX = pos.x();
        m_panViewStart = m_store.viewStart();
        m_inertia.press(event->position());
        m_panClock.start();
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    for (int id : m_store.channelIds()) {
        const QRect band = bandRect(id);
        if (!band.isNull() && qAbs(pos.y() - (band.top() + band.height())) < 5) {
            m_bandResize = true;
            m_resizeChannel = id;
            m_resizePressY = pos.y();
            m_heightAtPress = band.height();
            setCursor(Qt::SplitVCursor);
            return;
        }
    }
}

void MultiChannelWaveformWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_lastMousePos = pos;

    if (m_labelDrag) {
        m_store.setLabelColumnWidth(m_labelWidthAtPress + (pos.x() - m_labelPressX));
        m_store.clampView();
        placeScrollBars();
        applyScrollBars();
    } else if (m_bandResize) {
        const int h = m_heightAtPress + (pos.y() - m_resizePressY);
        if (h > WaveformStore::kMinBandHeight) {
            m_store.setChannelHeight(m_resizeChannel, h);
            m_store.clampView();
            applyScrollBars();
        }
    } else if (m_panning) {
        m_store.panByPixels(pos.x() - m_panLastX);
        m_panLastX = pos.x();
        m_inertia.move(m_panClock.elapsed(), event->position());
        applyScrollBars();
    } else if (m_rangeDragging) {
        m_rangeEnd = m_store.xToTime(pos.x());
    } else if (m_rangeEdgeDrag && m_rangeEdgeIndex >= 0 && m_rangeEdgeIndex < m_ranges.size()) {
        RangeMeasure& r = m_ranges[m_rangeEdgeIndex];
        (m_rangeEdge == 1 ? r.time1 : r.time2) = m_store.xToTime(pos.x());
        updateRangeStats(r);
    } else {
        bool dragged = false;
        for (CursorPair& pair : m_pairs) {
            if (!pair.draggingLine1 && !pair.draggingLine2)
                continue;
            (pair.draggingLine1 ? pair.time1 : pair.time2) = snappedTimeAt(pos);
            emit cursorPairChanged(pair.index, pair.time1, pair.time2);
            dragged = true;
            break;
        }
        if (!dragged) {
            if (m_creatingCursorPair && inPlotArea(pos)) {
                const qint64 t = snappedTimeAt(pos);
                (m_creationStep == 1 ? m_createTime1 : m_createTime2) = t;
            }
            updateCursorShape(pos);
        }
    }

    updatePointerState(pos);
    update();
    QOpenGLWidget::mouseMoveEvent(event);
}

void MultiChannelWaveformWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QOpenGLWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_panning) {
        m_panning = false;
        if (m_inertia.release(m_panClock.elapsed()))
            m_inertiaTimer->start();
    }
    if (m_rangeEdgeDrag) {
        if (m_rangeEdgeIndex >= 0 && m_rangeEdgeIndex < m_ranges.size())
            updateRangeStats(m_ranges[m_rangeEdgeIndex]);
        m_rangeEdgeDrag = false;
        m_rangeEdgeIndex = -1;
        setCursor(Qt::ArrowCursor);
        update();
        return;
    }
    if (m_rangeDragging) {
        m_rangeDragging = false;
        m_rangeArmed = false;
        if (m_rangeStart != m_rangeEnd && m_store.hasChannel(m_rangeChannel)) {
            for (RangeMeasure& other : m_ranges)
                other.selected = false;
            RangeMeasure range;
            range.channel = m_rangeChannel;
            range.time1 = m_rangeStart;
            range.time2 = m_rangeEnd;
            range.selected = true;
            updateRangeStats(range);
            m_ranges.append(range);
            m_selectedRange = int(m_ranges.size()) - 1;
        }
        update();
        return;
    }
    m_labelDrag = false;
    m_bandResize = false;
    m_resizeChannel = -1;
    for (CursorPair& pair : m_pairs)
        pair.draggingLine1 = pair.draggingLine2 = false;
    setCursor(Qt::ArrowCursor);
    update();
}

void MultiChannelWaveformWidget::wheelEvent(QWheelEvent* event)
{
    commitNameEdit();
    const QPoint pos = event->position().toPoint();
    event->accept();
    if (overScrollBars(pos))
        return;
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    const bool up = delta > 0;
    if (event->modifiers() & Qt::ControlModifier) {
        const int id = m_store.channelAtY(pos.y());
        const WaveformChannel* ch = m_store.channel(id);
        if (!ch)
            return;
        const QRect band = bandRect(id);
        const double v =
            WaveformStore::yToValue(pos.y(), band.top(), band.height(), ch->displayMin, ch->displayMax);
        if (m_store.verticalZoom(id, v, up))
            update();
        return;
    }
    if (pos.x() < m_store.labelColumnWidth()) {
        m_store.scrollBands(delta);
        applyScrollBars();
        update();
        return;
    }
    if (m_store.wheelZoom(pos.x(), up)) {
        applyScrollBars();
        updatePointerState(pos);
    }
    update();
}

void MultiChannelWaveformWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QOpenGLWidget::keyPressEvent(event);
        return;
    }
    if (m_selectedRange >= 0 && m_selectedRange < m_ranges.size()) {
        m_ranges[m_selectedRange].selected = false;
        m_selectedRange = -1;
    } else if (!m_ranges.isEmpty()) {
        m_ranges.clear();
        m_selectedRange = -1;
    } else if (m_rangeArmed || m_rangeDragging) {
        m_rangeArmed = m_rangeDragging = false;
        m_ranges.clear();
    } else if (m_creatingCursorPair) {
        m_creatingCursorPair = false;
        m_creationStep = 0;
        m_createTime1 = m_createTime2 = 0;
        setCursor(Qt::ArrowCursor);
    }
    update();
}

QMenu* MultiChannelWaveformWidget::menuFor(const QPoint& pos)
{
    m_lastMousePos = pos;
    if (m_selectedRange >= 0 && m_selectedRange < m_ranges.size()) {
        const RangeMeasure& r = m_ranges.at(m_selectedRange);
        const QRect band = bandRect(r.channel);
        const int x1 = m_store.timeToX(r.earlier());
        const int x2 = m_store.timeToX(r.later());
        if (!band.isNull() && pos.x() >= x1 && pos.x() <= x2 && pos.y() >= band.top() &&
            pos.y() < band.top() + band.height())
            return m_rangeMenu;
    }
    if (m_selectedPair >= 0 && m_selectedPair < m_pairs.size()) {
        const CursorPair& pair = m_pairs.at(m_selectedPair);
        const int x1 = m_store.timeToX(pair.earlier());
        const int x2 = m_store.timeToX(pair.later());
        if (pos.x() >= x1 && pos.x() <= x2)
            return m_pairMenu;
    }
    const bool idle = !m_store.isRecording();
    m_actSaveImage->setEnabled(idle);
    m_actSaveCsv->setEnabled(idle);
    m_actReplayCsv->setEnabled(idle);
    m_actDeleteData->setEnabled(idle);
    m_actDeleteAllPairs->setEnabled(idle);
    m_actDeleteAllRanges->setEnabled(idle);
    return m_plotMenu;
}

void MultiChannelWaveformWidget::contextMenuEvent(QContextMenuEvent* event)
{
    commitNameEdit();
    QMenu* menu = menuFor(event->pos());
    menu->exec(event->globalPos());
}

void MultiChannelWaveformWidget::leaveEvent(QEvent* event)
{
    m_crosshair.visible = false;
    m_hoverFitChannel = -1;
    update();
    QOpenGLWidget::leaveEvent(event);
}

// ---- name editing -----------------------------------------------------------------

void MultiChannelWaveformWidget::startNameEdit(int id)
{
    const WaveformChannel* ch = m_store.channel(id);
    const QRect band = bandRect(id);
    if (!ch || band.isNull())
        return;
    if (m_editedChannel >= 0 && m_editedChannel != id)
        commitNameEdit();
    m_editedChannel = id;
    const int h = fontMetrics().height() + 10;
    m_nameEditor->setGeometry(46, band.top() + (band.height() - h) / 2, m_store.labelColumnWidth() - 50, h);
    m_nameEditor->setText(ch->name);
    m_nameEditor->show();
    m_nameEditor->raise();
    m_nameEditor->selectAll();
    m_nameEditor->setFocus(Qt::OtherFocusReason);
    update();
}

void MultiChannelWaveformWidget::commitNameEdit()
{
    if (m_editedChannel < 0)
        return;
    const int id = m_editedChannel;
    // Cleared first: hiding the editor moves the focus, which finishes the
    // edit once more.
    m_editedChannel = -1;
    const QString name = m_nameEditor->text().trimmed();
    m_nameEditor->hide();
    if (!name.isEmpty())
        m_store.setChannelName(id, name);
    update();
}

void MultiChannelWaveformWidget::cancelNameEdit()
{
    m_editedChannel = -1;
    m_nameEditor->hide();
    setFocus(Qt::OtherFocusReason);
    update();
}

bool MultiChannelWaveformWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_nameEditor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelNameEdit();
        return true;
    }
    return QOpenGLWidget::eventFilter(watched, event);
}

// ---- menus --------------------------------------------------------------------

void MultiChannelWaveformWidget::buildMenus()
{
    auto makeMenu = [this]() {
        auto* menu = new CMenu(this);
        // Built once and kept: the themes style it as a context menu.
        menu->setAttribute(Qt::WA_DeleteOnClose, false);
        return menu;
    };
    m_pairMenu = makeMenu();
    m_actDeletePair =
        m_pairMenu->addAction(QString(), this, &MultiChannelWaveformWidget::onDeleteSelectedCursorPair);
    m_rangeMenu = makeMenu();
    m_actDeleteRange =
        m_rangeMenu->addAction(QString(), this, &MultiChannelWaveformWidget::onDeleteSelectedRegion);

    m_plotMenu = makeMenu();
    m_actFitView = m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::fitView);
    m_actResizeAll =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::resizeAllChannelsToMatch);
    m_actRestoreY = m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::restoreYAxisRange);
    m_actSaveImage =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::onSaveImageTriggered);
    m_plotMenu->addSeparator();
    m_actSaveCsv = m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::onSaveCsvTriggered);
    m_actReplayCsv =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::onReplayCsvTriggered);
    m_plotMenu->addSeparator();
    m_actDeleteData =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::deleteDataWithConfirmation);
    m_plotMenu->addSeparator();
    m_actDeleteAllPairs =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::clearCursorPairs);
    m_actDeleteAllRanges =
        m_plotMenu->addAction(QString(), this, &MultiChannelWaveformWidget::clearRangeMeasures);
    retranslate();
}

void MultiChannelWaveformWidget::retranslate()
{
    m_actDeletePair->setText(tr("Delete Cursor Pair"));
    m_actDeleteRange->setText(tr("Delete Range Measure"));
    m_actFitView->setText(tr("Fit View"));
    m_actResizeAll->setText(tr("Resize All Channels To Match"));
    m_actRestoreY->setText(tr("Restore Y Axis Range"));
    m_actSaveImage->setText(tr("Save Waveform To Image"));
    m_actSaveCsv->setText(tr("Save CSV"));
    m_actReplayCsv->setText(tr("Replay CSV"));
    m_actDeleteData->setText(tr("Delete Data"));
    m_actDeleteAllPairs->setText(tr("Delete All Cursor Pair"));
    m_actDeleteAllRanges->setText(tr("Delete All Range Measure"));
}

void MultiChannelWaveformWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QOpenGLWidget::changeEvent(event);
}

// ---- painting -------------------------------------------------------------------

void MultiChannelWaveformWidget::initializeGL()
{
    initializeOpenGLFunctions();
    glClearColor(m_bgColor.redF(), m_bgColor.greenF(), m_bgColor.blueF(), 0.0f);
    // A new context (the widget moved to another window) needs new objects.
    m_trace.destroy();
    m_trace.initialize();
}

void MultiChannelWaveformWidget::paintGL()
{
    // The theme may have changed the background since the context was made.
    // An opaque background is painted by the clear itself: a full-surface
    // fill on top of it would only repeat it, at the price of shading every
    // multisampled pixel once more.
    const bool opaque = m_bgColor.alpha() == 255;
    glClearColor(m_bgColor.redF(), m_bgColor.greenF(), m_bgColor.blueF(), opaque ? 1.0f : 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!opaque)
        p.fillRect(rect(), m_bgColor);

    drawTimeAxis(p);

    const int header = m_store.headerHeight();
    const int bar = m_store.scrollBarThickness();
    const int bottom = height() - bar;
    QVector<Band> bands;
    int runningY = header;
    const QMap<int, WaveformChannel>& channels = m_store.channels();
    for (auto it = channels.cbegin(); it != channels.cend(); ++it) {
        const WaveformChannel& ch = it.value();
        if (!ch.visible)
            continue;
        const int y0 = runningY - m_store.scrollOffset();
        const int h = ch.height;
        runningY += h + m_store.channelSpacing();
        if (y0 + h < header || y0 > bottom)
            continue;
        bands.append(Band{it.key(), &ch, y0, h});
    }

    p.save();
    p.setClipRect(QRect(0, header, width() - bar, qMax(0, bottom - header)));
    // Bands never overlap, so drawing them layer by layer (grids, traces,
    // labels) gives the same picture as band by band, with all traces in
    // one pass on the GL side.
    for (const Band& band : bands) {
        drawValueGrid(p, *band.channel, band.y0, band.h);
        drawLabelColumn(p, band.id, *band.channel, band.y0, band.h);
    }
    drawTraces(p, bands);
    for (const Band& band : bands) {
        drawValueLabels(p, *band.channel, band.y0, band.h);
        drawFitButton(p, band.id, band.y0);
        p.setPen(QPen(m_gridLineColor, 2));
        p.drawLine(0, band.y0 + band.h, width() - bar, band.y0 + band.h);
    }
    p.restore();

    drawCursorPairs(p);
    drawCursorReadout(p);
    drawCreationPreview(p);
    drawRanges(p);
    drawRangeReadout(p);
    if (m_crosshair.visible && !m_store.isRecording())
        drawCrosshair(p);

    p.setPen(QPen(m_gridLineColor, 1));
    const qreal border = m_store.labelColumnWidth() + 0.5;
    p.drawLine(QPointF(border, 0), QPointF(border, bottom));
}

void MultiChannelWaveformWidget::drawTimeAxis(QPainter& p)
{
    const int bar = m_store.scrollBarThickness();
    const int header = m_store.headerHeight();
    const int right = width() - bar;

    p.save();
    p.setPen(QPen(m_gridLineColor, 1));
    p.drawLine(QPointF(0, 0.5), QPointF(right, 0.5));
    p.drawLine(QPointF(0, header + 0.5), QPointF(right, header + 0.5));
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, header));
    if (m_store.timeScale() <= 0) {
        p.restore();
        return;
    }

    const QFontMetrics fm = fontMetrics();
    const TimeAxis::Layout axis = TimeAxis::layout(
        m_store.viewStart(), m_store.timeScale(), m_store.labelColumnWidth(), m_store.plotWidth(), header,
        fm.height(), [&fm](const QString& text) { return fm.horizontalAdvance(text); });
    if (!axis.valid) {
        p.restore();
        return;
    }
    p.setClipRect(
        QRect(m_store.labelColumnWidth(), 0, qMax(0, width() - m_store.labelColumnWidth()), height()));

    // Lines run down to the end of the band stack; what lies below the
    // widget would only cost dashes nobody sees.
    const int gridBottom = qMin(header + m_store.contentHeight(), height() - bar);
    p.setPen(dashedPen(m_gridLineColor));
    for (int x : axis.minorLineX)
        p.drawLine(QPointF(x + 0.5, header), QPointF(x + 0.5, gridBottom));
    for (int x : axis.majorLineX)
        p.drawLine(QPointF(x + 0.5, header / 2.0), QPointF(x + 0.5, gridBottom));

    p.setPen(m_axisLabelColor);
    for (const TimeAxis::Label& label : axis.majorLabels)
        p.drawText(label.box, Qt::AlignCenter | Qt::TextDontClip, label.text);
    for (const TimeAxis::Label& label : axis.offsetLabels)
        p.drawText(label.box, Qt::AlignCenter | Qt::TextDontClip, label.text);
    p.restore();
}

void MultiChannelWaveformWidget::drawValueGrid(QPainter& p, const WaveformChannel& ch, int y0, int h)
{
    int n = qMin(h / 20, 20);
    if (h < 60)
        n = 2;
    if (n < 2)
        return;
    const double lo = ch.displayMin;
    const double step = (ch.displayMax - lo) / (n - 1);
    p.save();
    p.setPen(dashedPen(m_gridLineColor));
    for (int i = 0; i < n; ++i) {
        const int y = WaveformStore::valueToY(lo + i * step, y0, h, lo, ch.displayMax);
        if (y < y0 + 2 || y > y0 + h - 2)
            continue;
        p.drawLine(QPointF(m_store.labelColumnWidth(), y + 0.5), QPointF(width(), y + 0.5));
    }
    p.restore();
}

void MultiChannelWaveformWidget::drawValueLabels(QPainter& p, const WaveformChannel& ch, int y0, int h)
{
    int n = qMin(h / 20, 20);
    if (h < 60)
        n = 2;
    if (n < 2)
        return;
    const QFontMetrics fm = fontMetrics();
    const double lo = ch.displayMin;
    const double step = (ch.displayMax - lo) / (n - 1);
    p.save();
    for (int i = 0; i < n; ++i) {
        const double v = lo + i * step;
        const int y = WaveformStore::valueToY(v, y0, h, lo, ch.displayMax);
        if (y < y0 + 2 || y > y0 + h - 2)
            continue;
        const QString text = WaveformStore::valueLabelText(v);
        int top = y - 7;
        if (top < y0 + 2)
            top = y0 + 2;
        else if (top + 14 > y0 + h - 2)
            top = y0 + h - 16;
        const QRect box(m_store.labelColumnWidth() + 4, top, fm.horizontalAdvance(text), 14);
        p.fillRect(box, m_axisLabelBgColor);
        p.setPen(m_axisLabelColor);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
    }
    p.restore();
}

void MultiChannelWaveformWidget::drawLabelColumn(QPainter& p, int id, const WaveformChannel& ch, int y0,
                                                 int h)
{
    const int labelWidth = m_store.labelColumnWidth();
    const QColor colour = traceColor(id);
    p.save();
    p.fillRect(QRect(0, y0, kColourBarWidth, h), colour);
    p.setPen(colour);
    p.drawText(QRect(kColourBarWidth, y0, WaveformStore::kMinLabelColumnWidth - kColourBarWidth, h),
               Qt::AlignCenter, QStringLiteral("CH%1").arg(id));
    if (labelWidth > 60 && m_editedChannel != id) {
        const QRect nameRect(WaveformStore::kMinLabelColumnWidth, y0,
                             labelWidth - WaveformStore::kMinLabelColumnWidth, h);
        p.setClipRect(nameRect, Qt::IntersectClip);
        p.setPen(m_channelNameColor);
        p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, ch.name);
    }
    p.restore();
}

void MultiChannelWaveformWidget::buildTrace(const Band& band, Trace& trace) const
{
    trace.xy.clear();
    trace.dots.clear();
    trace.dotLines.clear();
    const int w = m_store.plotWidth();
    const WaveformChannel& ch = *band.channel;
    if (w <= 0 || ch.samples.isEmpty())
        return;
    const double rate = m_store.effectiveSampleRate();
    const WaveformStore::ColumnScan scan =
        m_store.scanColumns(band.id, m_store.viewStart(), m_store.timeScale(), w, rate);
    if (scan.columns.isEmpty() && !scan.hasLeadIn && scan.overflow.isEmpty())
        return;

    const int left = m_store.labelColumnWidth();
    const double lo = ch.displayMin;
    const double hi = ch.displayMax;
    const int y0 = band.y0;
    const int h = band.h;
    auto yOf = [&](double v) { return WaveformStore::valueToY(v, y0, h, lo, hi); };

    // One polyline: the lead-in sample, then per column its last value and,
    // when it holds several samples, its minimum and maximum, then the samples
    // just past the right edge. Vertices sit on pixel centres, so 1-pixel
    // traces stay crisp.
    QVector<float>& xy = trace.xy;
    xy.reserve(2 * (3 * scan.columns.size() + scan.overflow.size() + 1));
    auto to = [](QVector<float>& out, qreal x, qreal y) {
        out.append(float(x + 0.5));
        out.append(float(y + 0.5));
    };
    if (scan.hasLeadIn)
        to(xy, m_store.timeToX(scan.leadIn.timestamp), yOf(scan.leadIn.value));
    for (int c = 0; c < scan.columns.size(); ++c) {
        const WaveformStore::ColumnBucket& b = scan.columns.at(c);
        if (!b.hasData)
            continue;
        const int x = left + c;
        to(xy, x, yOf(b.last));
        if (b.count > 1) {
            to(xy, x, yOf(b.min));
            to(xy, x, yOf(b.max));
        }
    }
    for (const WaveformSample& s : scan.overflow)
        to(xy, m_store.timeToX(s.timestamp), yOf(s.value));

    // Individual samples become visible once a sample period spans 5 pixels.
    if (m_store.timeScale() <= 1e9 / rate / 5.0) {
        for (int c = 0; c < scan.columns.size(); ++c) {
            const WaveformStore::ColumnBucket& b = scan.columns.at(c);
            if (!b.hasData)
                continue;
            const int x = left + c;
            if (b.count > 1 && b.min != b.max)
                trace.dotLines.append(QLine(x, yOf(b.min), x, yOf(b.max)));
            to(trace.dots, x, yOf(b.last));
        }
    }
}

QRect MultiChannelWaveformWidget::traceClip(const Band& band) const
{
    const int header = m_store.headerHeight();
    const int bar = m_store.scrollBarThickness();
    return QRect(m_store.labelColumnWidth(), band.y0, m_store.plotWidth(), band.h)
        .intersected(QRect(0, header, width() - bar, qMax(0, height() - bar - header)));
}

MultiChannelWaveformWidget::TraceKey MultiChannelWaveformWidget::traceKey(const Band& band) const
{
    TraceKey key;
    key.revision = band.channel->revision;
    key.viewStart = m_store.viewStart();
    key.timeScale = m_store.timeScale();
    key.rate = m_store.effectiveSampleRate();
    key.displayMin = band.channel->displayMin;
    key.displayMax = band.channel->displayMax;
    key.left = m_store.labelColumnWidth();
    key.width = m_store.plotWidth();
    key.y0 = band.y0;
    key.h = band.h;
    return key;
}

void MultiChannelWaveformWidget::traceFor(const Band& band)
{
    CachedTrace& cached = m_traceCache[band.id];
    const TraceKey key = traceKey(band);
    if (cached.key == key && !cached.trace.spans.isEmpty())
        return;
    cached.key = key;
    buildTrace(band, cached.trace);
    cached.trace.spans.resize(qsizetype(2) * qMax(0, key.width));
    TraceColumnSpans::compute(cached.trace.xy, key.left, key.width, cached.trace.spans.data());
}

void MultiChannelWaveformWidget::drawTraces(QPainter& p, const QVector<Band>& bands)
{
    const int w = m_store.plotWidth();
    if (w <= 0 || bands.isEmpty())
        return;
    const int left = m_store.labelColumnWidth();
    // Channels no longer drawn give their memory back.
    if (m_traceCache.size() > bands.size()) {
        for (auto it = m_traceCache.begin(); it != m_traceCache.end();) {
            const bool drawn =
                std::any_of(bands.cbegin(), bands.cend(), [&](const Band& b) { return b.id == it.key(); });
            it = drawn ? std::next(it) : m_traceCache.erase(it);
        }
    }
    for (const Band& band : bands)
        traceFor(band);
    // Pointers only once every entry exists: inserting may move the others.
    m_frameTraces.resize(bands.size());
    for (int r = 0; r < bands.size(); ++r)
        m_frameTraces[r] = &m_traceCache[bands.at(r).id].trace;

    if (m_trace.isReady()) {
        m_spanData.resize(qsizetype(2) * w * bands.size());
        for (int r = 0; r < bands.size(); ++r)
            std::copy(m_frameTraces.at(r)->spans.cbegin(), m_frameTraces.at(r)->spans.cend(),
                      m_spanData.begin() + qsizetype(2) * w * r);
        p.beginNativePainting();
        m_trace.uploadSpans(m_spanData, left, w, int(bands.size()));
        for (int r = 0; r < bands.size(); ++r) {
            const Trace& trace = *m_frameTraces.at(r);
            if (trace.xy.isEmpty())
                continue;
            const QColor colour = traceColor(bands.at(r).id);
            const QRect clip = traceClip(bands.at(r));
            m_trace.drawSpans(r, colour, clip, size(), devicePixelRatioF());
            m_trace.drawDots(trace.dots, 4.0f, colour, clip, size(), devicePixelRatioF());
        }
        p.endNativePainting();
    } else {
        for (int r = 0; r < bands.size(); ++r) {
            const Trace& trace = *m_frameTraces.at(r);
            const QVector<float>& xy = trace.xy;
            if (xy.size() < 2)
                continue;
            const QColor colour = traceColor(bands.at(r).id);
            QPainterPath path;
            path.moveTo(xy[0], xy[1]);
            for (int i = 2; i + 1 < xy.size(); i += 2)
                path.lineTo(xy[i], xy[i + 1]);
            p.save();
            p.setClipRect(traceClip(bands.at(r)), Qt::IntersectClip);
            p.setPen(QPen(colour, 1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i + 1 < trace.dots.size(); i += 2)
                p.drawPoint(QPointF(trace.dots[i], trace.dots[i + 1]));
            p.restore();
        }
    }

    // Columns that hold several samples while zoomed in: a short bar from
    // minimum to maximum under the dot.
    for (int r = 0; r < bands.size(); ++r) {
        const Trace& trace = *m_frameTraces.at(r);
        if (trace.dotLines.isEmpty())
            continue;
        p.save();
        p.setClipRect(traceClip(bands.at(r)), Qt::IntersectClip);
        p.translate(0.5, 0.5);
        p.setPen(QPen(traceColor(bands.at(r).id), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLines(trace.dotLines);
        p.restore();
    }
}

void MultiChannelWaveformWidget::drawFitButton(QPainter& p, int id, int y0)
{
    const int x = width() - m_store.scrollBarThickness() - kFitButtonSize - 6;
    const int y = y0 + 4;
    if (y < m_store.headerHeight() || y + kFitButtonSize > height() - m_store.scrollBarThickness())
        return;
    const bool hovered = (m_hoverFitChannel == id);
    const QColor outline = hovered ? m_axisLabelColor : m_axisLabelColor.darker(200);
    QColor fill =
        m_lightTheme ? m_bgColor.darker(hovered ? 150 : 130) : m_bgColor.lighter(hovered ? 160 : 130);
    fill.setAlpha(255);

    const QRect r(x, y, kFitButtonSize, kFitButtonSize);
    p.save();
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.translate(0.5, 0.5);
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 2, 2);

    p.setPen(QPen(outline, 1, Qt::SolidLine, Qt::RoundCap));
    const qreal cx = r.left() + r.width() / 2.0;
    const qreal top = r.top();
    const qreal bottom = r.top() + r.height();
    p.drawLine(QPointF(cx, top + 5), QPointF(cx, bottom - 5));
    p.drawLine(QPointF(cx - 2, top + 9), QPointF(cx, top + 5));
    p.drawLine(QPointF(cx + 2, top + 9), QPointF(cx, top + 5));
    p.drawLine(QPointF(cx - 2, bottom - 9), QPointF(cx, bottom - 5));
    p.drawLine(QPointF(cx + 2, bottom - 9), QPointF(cx, bottom - 5));
    p.drawLine(QPointF(cx - 6, top + 4), QPointF(cx + 6, top + 4));
    p.drawLine(QPointF(cx - 6, bottom - 4), QPointF(cx + 6, bottom - 4));
    p.restore();
}

void MultiChannelWaveformWidget::drawCrosshair(QPainter& p)
{
    if (m_creatingCursorPair)
        return;
    const int id = m_crosshair.channel;
    const WaveformChannel* ch = m_store.channel(id);
    if (!ch || !ch->visible || ch->samples.isEmpty())
        return;
    if (m_crosshair.time > ch->samples.constLast().timestamp)
        return;

    double value = m_crosshair.value;
    const qsizetype index = m_store.findSample(id, m_store.snapTime(id, m_crosshair.time));
    if (index >= 0)
        value = ch->samples.at(index).value;

    const QRect band = bandRect(id);
    const int x = m_crosshair.x;
    const int y = WaveformStore::valueToY(value, band.top(), band.height(), ch->displayMin, ch->displayMax);

    p.save();
    p.setClipRect(plotRect());
    p.setPen(dashedPen(m_markerLineColor));
    p.drawLine(QPointF(x + 0.5, band.top()), QPointF(x + 0.5, band.top() + band.height()));
    p.setClipping(false);
    p.setPen(QPen(m_markerColor, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(x, y);

    const QFontMetrics fm = fontMetrics();
    const QString text = QString::number(value, 'f', 3);
    const int boxWidth = fm.horizontalAdvance(text) + 8;
    const QRect box(x - 8 - boxWidth, y, boxWidth, fm.height() + 4);
    p.fillRect(box, m_axisLabelBgColor);
    p.setPen(m_markerColor);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

// ---- measuring tools ------------------------------------------------------------

void MultiChannelWaveformWidget::drawCursorPairs(QPainter& p)
{
    if (m_pairs.isEmpty())
        return;
    const QRect plot = plotRect();
    auto inside = [&](int x) { return x >= plot.left() && x < plot.left() + plot.width(); };
    p.save();
    p.setClipRect(QRect(plot.left(), 0, plot.width(), plot.top() + plot.height()));
    for (const CursorPair& pair : std::as_const(m_pairs)) {
        QColor line = pair.color;
        line.setAlpha(pair.selected ? 255 : 120);
        QColor fill = pair.color;
        fill.setAlpha(pair.selected ? 30 : 15);
        const int x1 = m_store.timeToX(pair.time1);
        const int x2 = m_store.timeToX(pair.time2);
        if (inside(x1) && inside(x2))
            p.fillRect(QRect(qMin(x1, x2), plot.top(), qAbs(x2 - x1), plot.height()), fill);
        const int xs[2] = {x1, x2};
        for (int k = 0; k < 2; ++k) {
            const int x = xs[k];
            if (!inside(x))
                continue;
            p.setPen(QPen(line, 1));
            p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, plot.top() + plot.height()));
            const bool leftOfOther = x < xs[1 - k];
            const QRect square(leftOfOther ? x - 20 : x + 1, 0, 20, 20);
            p.fillRect(square, line);
            p.setPen(Qt::white);
            p.drawText(square, Qt::AlignCenter, QString::number(pair.index));
        }
    }
    p.restore();
}

QString MultiChannelWaveformWidget::cursorReadoutAt(const QPoint& pos) const
{
    if (m_selectedPair < 0 || m_selectedPair >= m_pairs.size() || m_store.isRecording() ||
        m_creatingCursorPair)
        return QString();
    const int bar = m_store.scrollBarThickness();
    if (pos.x() < m_store.labelColumnWidth() || pos.x() > width() - bar || pos.y() < 0 ||
        pos.y() > height() - bar)
        return QString();
    const CursorPair& pair = m_pairs.at(m_selectedPair);
    qint64 t;
    if (qAbs(pos.x() - m_store.timeToX(pair.time1)) <= 6)
        t = pair.time1;
    else if (qAbs(pos.x() - m_store.timeToX(pair.time2)) <= 6)
        t = pair.time2;
    else
        return QString();
    return MeasureFormat::cursorReadout(t, MeasureFormat::absoluteDifference(pair.time1, pair.time2));
}

void MultiChannelWaveformWidget::drawCursorReadout(QPainter& p)
{
    const QPoint pos = m_lastMousePos;
    const QString text = cursorReadoutAt(pos);
    if (text.isEmpty())
        return;
    const CursorPair& pair = m_pairs.at(m_selectedPair);
    const int x1 = m_store.timeToX(pair.time1);
    const int lineX = qAbs(pos.x() - x1) <= 6 ? x1 : m_store.timeToX(pair.time2);

    const QFontMetrics fm = fontMetrics();
    const QRect bounds = fm.boundingRect(QRect(0, 0, 400, 1000), Qt::AlignLeft | Qt::AlignTop, text);
    int x = lineX + 10;
    if (x + bounds.width() > width() - 4)
        x = lineX - bounds.width() - 8;
    x = qMax(x, m_store.labelColumnWidth() + 4);
    const QRect textRect(x, m_store.headerHeight() + 8, bounds.width(), bounds.height());
    QColor bg = m_axisLabelBgColor;
    bg.setAlpha(255);

    p.save();
    p.setClipRect(plotRect());
    p.setPen(QPen(m_gridLineColor, 1));
    p.setBrush(bg);
    p.drawRoundedRect(textRect.adjusted(-8, -5, 8, 5), 4, 4);
    p.setPen(m_axisLabelColor);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
    p.restore();
}

void MultiChannelWaveformWidget::drawCreationPreview(QPainter& p)
{
    if (!m_creatingCursorPair)
        return;
    const QRect plot = plotRect();
    auto inside = [&](int x) { return x >= plot.left() && x < plot.left() + plot.width(); };
    const bool second = m_creationStep == 2;
    const int x1 = m_store.timeToX(m_createTime1);
    const int x2 = m_store.timeToX(m_createTime2);
    p.save();
    p.setClipRect(QRect(plot.left(), 0, plot.width(), plot.top() + plot.height()));
    auto drawLine = [&](int x, bool squareLeft) {
        if (!inside(x))
            return;
        p.setPen(QPen(m_createColor, 1, Qt::DashLine));
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, plot.top() + plot.height()));
        p.fillRect(QRect(squareLeft ? x - 20 : x + 1, 0, 20, 20), m_createColor);
    };
    if (m_createTime1 > 0 || second)
        drawLine(x1, !second || x1 <= x2);
    if (second)
        drawLine(x2, x2 < x1);
    p.restore();
}

void MultiChannelWaveformWidget::drawRanges(QPainter& p)
{
    const bool dragging = m_rangeDragging;
    const bool armedBar = m_rangeArmed && !m_rangeDragging && inPlotArea(m_lastMousePos);
    if (m_ranges.isEmpty() && !dragging && !armedBar)
        return;
    const QColor base(205, 66, 126);
    const QColor outline = m_lightTheme ? QColor(Qt::white).darker(250) : QColor(Qt::white);
    p.save();
    p.setClipRect(plotRect());
    auto rangeRect = [&](int channel, qint64 t1, qint64 t2) {
        const QRect band = bandRect(channel);
        if (band.isNull())
            return QRectF();
        const int x1 = m_store.timeToX(qMin(t1, t2));
        const int x2 = m_store.timeToX(qMax(t1, t2));
        return QRectF(x1, band.top(), x2 - x1, band.height());
    };
    for (const RangeMeasure& r : std::as_const(m_ranges)) {
        const QRectF rect = rangeRect(r.channel, r.time1, r.time2);
        if (rect.isNull())
            continue;
        QColor fill = base;
        fill.setAlpha(r.selected ? 50 : 20);
        p.fillRect(rect, fill);
        if (r.selected) {
            p.setPen(QPen(outline, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect);
        }
    }
    if (dragging) {
        const QRectF rect = rangeRect(m_rangeChannel, m_rangeStart, m_rangeEnd);
        if (!rect.isNull()) {
            QColor fill = base;
            fill.setAlpha(45);
            p.fillRect(rect, fill);
            p.setPen(QPen(QColor(Qt::white), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect);
        }
    } else if (armedBar) {
        const QRect band = bandRect(m_store.channelAtY(m_lastMousePos.y()));
        if (!band.isNull()) {
            QColor bar = m_lightTheme ? QColor(Qt::white).darker(200) : QColor(Qt::white);
            bar.setAlpha(160);
            p.fillRect(QRectF(m_lastMousePos.x() - 2, band.top(), 4, band.height()), bar);
        }
    }
    p.restore();
}

QStringList MultiChannelWaveformWidget::rangeReadout() const
{
    if (m_selectedRange < 0 || m_selectedRange >= m_ranges.size())
        return {};
    const RangeMeasure& r = m_ranges.at(m_selectedRange);
    const WaveformChannel* ch = m_store.channel(r.channel);
    if (r.count <= 0 || !ch || !ch->visible)
        return {};
    return MeasureFormat::rangeReadout(r.minimum, r.maximum, r.average, r.peakToPeak, r.count);
}

void MultiChannelWaveformWidget::drawRangeReadout(QPainter& p)
{
    const QStringList lines = rangeReadout();
    if (lines.isEmpty())
        return;
    const RangeMeasure& r = m_ranges.at(m_selectedRange);
    const QRect band = bandRect(r.channel);
    const QRect plot = plotRect();
    QFont font(QStringLiteral("Consolas"));
    font.setPointSize(10);
    font.setStyleHint(QFont::Monospace);
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& line : lines)
        widest = qMax(widest, fm.horizontalAdvance(line));
    const int w = widest + 16;
    const int h = 2 * (fm.height() + 2) + 8;
    const int mid = (m_store.timeToX(r.earlier()) + m_store.timeToX(r.later())) / 2;
    int x = qMax(mid - w / 2, plot.left() + 4);
    if (x + w > plot.left() + plot.width() - 4)
        x = plot.left() + plot.width() - w - 4;
    int y = band.top() + band.height() + 4;
    if (y + h > plot.top() + plot.height())
        y = band.top() - h - 4;

    p.save();
    p.setClipRect(plot);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(QColor(30, 30, 32, 220));
    p.drawRoundedRect(QRectF(x + 0.5, y + 0.5, w, h), 4, 4);
    p.setFont(font);
    p.setPen(QColor(220, 220, 220));
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(x + 8, y + 4 + i * (fm.height() + 2), widest, fm.height() + 2),
                   Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
    p.restore();
}
