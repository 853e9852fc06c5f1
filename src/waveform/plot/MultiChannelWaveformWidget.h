#pragma once

#include "CProgressDialog.h"
#include "CursorPair.h"
#include "PanInertia.h"
#include "WaveformCsvExporter.h"
#include "WaveformCsvParser.h"
#include "WaveformCsvReplay.h"
#include "WaveformStore.h"
#include "WaveformTraceRenderer.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QHash>
#include <QLine>
#include <QList>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPoint>
#include <QPointer>
#include <QRect>

class CScrollBar64;
class QAction;
class QLineEdit;
class QMenu;
class QPainter;
class QScrollBar;
class QShortcut;
class QTimer;

// The session's waveform plot: up to sixteen channels drawn as stacked bands
// over one shared time axis. Data and view arithmetic live in the
// WaveformStore; this class paints them (QPainter on the GL surface) and
// turns mouse, wheel and keys into navigation, cursor pairs and range
// measurements.
class MultiChannelWaveformWidget : public QOpenGLWidget, protected QOpenGLFunctions
{
    Q_OBJECT
    Q_PROPERTY(QColor bgColor READ bgColor WRITE setBgColor)
    Q_PROPERTY(QColor gridLineColor READ gridLineColor WRITE setGridLineColor)
    Q_PROPERTY(QColor axisLabelColor READ axisLabelColor WRITE setAxisLabelColor)
    Q_PROPERTY(QColor axisLabelBgColor READ axisLabelBgColor WRITE setAxisLabelBgColor)
    Q_PROPERTY(QColor channelNameColor READ channelNameColor WRITE setChannelNameColor)
    Q_PROPERTY(QColor markerColor READ markerColor WRITE setMarkerColor)
    Q_PROPERTY(QColor markerLineColor READ markerLineColor WRITE setMarkerLineColor)

public:
    static constexpr int kFitButtonSize = 25;
    static constexpr int kColourBarWidth = 5;

    explicit MultiChannelWaveformWidget(QWidget* parent = nullptr);
    ~MultiChannelWaveformWidget() override;

    // Data ------------------------------------------------------------------
    int addChannel(const QString& name);
    // Unknown ids drop the samples.
    void appendChannelData(int id, const QVector<WaveformSample>& samples);
    // No-op for unknown ids or an unchanged flag; else emits channelVisibleChanged.
    void setChannelVisible(int id, bool visible);
    void startRecording();
    void stopRecording();
    bool isRecording() const { return m_store.isRecording(); }
    void clearData();
    void setSampleRate(double rate);
    double sampleRate() const { return m_store.sampleRate(); }
    // "Delete All Cursor Pair": emits cursorPairRemoved for every pair, last
    // first, then empties the list and ends a pair creation.
    void clearCursorPairs();
    // "Delete All Range Measure".
    void clearRangeMeasures();

    // Menu operations ------------------------------------------------------
    void fitView();
    void resizeAllChannelsToMatch();
    void restoreYAxisRange();
    // Asks first; on confirmation removes pairs (emitting), ranges and data.
    void deleteDataWithConfirmation();
    // The same without asking.
    void deleteAllData();

    // Files --------------------------------------------------------------------
    // Starts writing the store as CSV on the thread pool; false for an empty
    // name (with a "Warning") or while an export runs.
    bool exportToCSV(const QString& fileName);
    // Clears the store, checks the header, prepares the channels and starts
    // reading the file on the thread pool. False (with a "Warning" saying
    // why) when the file cannot be opened or its header is refused, and
    // while a replay runs.
    bool replayFromCSV(const QString& fileName);
    // The plot as shown, as a PNG (or the format of the name's extension).
    // False with a "Warning" when the file cannot be written.
    bool saveImage(const QString& fileName);
    // "Save CSV", "Replay CSV", "Save Waveform To Image": ask for a file first.
    void onSaveCsvTriggered();
    void onReplayCsvTriggered();
    void onSaveImageTriggered();
    // Busy until the finished slot ran, not only until the task returned, so
    // a second request in between cannot take over the first one's result.
    bool isExporting() const { return m_exporting; }
    bool isReplaying() const { return m_replaying; }
    const QFutureWatcher<CsvSaveResult>* saveWatcher() const { return m_saveWatcher; }
    const QFutureWatcher<CsvParseResult>* replayWatcher() const { return m_parseWatcher; }
    const QFutureWatcher<QString>* imageWatcher() const { return m_imageWatcher; }
    CProgressDialog* saveProgressDialog() const { return m_saveProgress; }
    CProgressDialog* replayProgressDialog() const { return m_replayProgress; }
    // "512 B", "1.5 KB", "3 MB", "2 GB".
    static QString fileSizeText(qint64 bytes);

    // Measuring tools ------------------------------------------------------
    const QList<CursorPair>& cursorPairs() const { return m_pairs; }
    const QList<RangeMeasure>& rangeMeasures() const { return m_ranges; }
    int selectedCursorPair() const { return m_selectedPair; }
    int selectedRange() const { return m_selectedRange; }
    bool isCreatingCursorPair() const { return m_creatingCursorPair; }
    int cursorCreationStep() const { return m_creationStep; }
    bool isRangeCreationArmed() const { return m_rangeArmed; }
    // The read-out text shown for the pointer at pos (empty when none).
    QString cursorReadoutAt(const QPoint& pos) const;
    QStringList rangeReadout() const;

    // Navigation state (for the panels and tests).
    bool isPanning() const { return m_panning; }
    const PanInertia& inertia() const { return m_inertia; }
    bool isInertiaRunning() const;
    QLineEdit* nameEditor() const { return m_nameEditor; }
    int editedChannel() const { return m_editedChannel; }
    // The name's clickable rectangle in the label column of a band.
    QRect nameRect(int id) const;
    QMenu* plotMenu() const { return m_plotMenu; }
    QMenu* cursorPairMenu() const { return m_pairMenu; }
    QMenu* rangeMenu() const { return m_rangeMenu; }
    // The menu a context request at pos opens (entries enabled as they would be).
    QMenu* menuFor(const QPoint& pos);

    WaveformStore& store() { return m_store; }
    const WaveformStore& store() const { return m_store; }

    // Re-applies the store's view after it was changed directly: clamps,
    // updates the scroll bars and repaints.
    void refreshView();

    // Geometry in widget pixels ---------------------------------------------
    QRect plotRect() const;
    // The band of a visible channel (may reach outside the widget when the
    // stack is scrolled); null for hidden or unknown ids.
    QRect bandRect(int id) const;
    QRect fitButtonRect(int id) const;
    CScrollBar64* horizontalScrollBar() const { return m_hScroll; }
    QScrollBar* verticalScrollBar() const { return m_vScroll; }

    // Theme -----------------------------------------------------------------
    bool isLightTheme() const { return m_lightTheme; }
    // The pen of a channel's trace: its palette colour, the light grey entry
    // darkened on the light theme.
    QColor traceColor(int id) const;

    // Crosshair read-out state (follows the pointer).
    bool isCrosshairVisible() const { return m_crosshair.visible; }
    int crosshairChannel() const { return m_crosshair.channel; }
    qint64 crosshairTime() const { return m_crosshair.time; }

    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor& color);
    QColor gridLineColor() const { return m_gridLineColor; }
    void setGridLineColor(const QColor& color);
    QColor axisLabelColor() const { return m_axisLabelColor; }
    void setAxisLabelColor(const QColor& color);
    QColor axisLabelBgColor() const { return m_axisLabelBgColor; }
    void setAxisLabelBgColor(const QColor& color);
    QColor channelNameColor() const { return m_channelNameColor; }
    void setChannelNameColor(const QColor& color);
    QColor markerColor() const { return m_markerColor; }
    void setMarkerColor(const QColor& color);
    QColor markerLineColor() const { return m_markerLineColor; }
    void setMarkerLineColor(const QColor& color);

    QSize sizeHint() const override { return QSize(1200, 1000); }

Q_SIGNALS:
    void cursorPairChanged(int index, qint64 time1, qint64 time2);
    void cursorPairRemoved(int index);
    void channelVisibleChanged(int channelId, bool visible);

public Q_SLOTS:
    void onSkinChanged(int skinType);
    // One 16 ms step of a fling.
    void updateInertia();
    // The recording time is not shown on the plot.
    void updateRecordingTime();
    void onActivateCursorCreation();
    void onActivateRegionSelection();
    void onDeleteSelectedCursorPair();
    void onDeleteSelectedRegion();
    void onVerticalScrollBarValueChanged(int value);
    void onHorizontalScrollBarValueChanged(qint64 value);
    // The tasks' results, applied on the GUI thread.
    void onSaveCsvLoadFinished();
    void onReplayCsvLoadFinished();

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Crosshair
    {
        bool visible = false;
        int x = 0;
        int y = 0;
        qint64 time = 0;
        double value = 0.0;
        int channel = -1;
    };

    void drawTimeAxis(QPainter& p);
    void drawValueGrid(QPainter& p, const WaveformChannel& ch, int y0, int h);
    void drawLabelColumn(QPainter& p, int id, const WaveformChannel& ch, int y0, int h);
    struct Band
    {
        int id;
        const WaveformChannel* channel;
        int y0;
        int h;
    };
    // A band's trace in widget pixels: the polyline, the sample dots (when
    // zoomed in) and the min/max bars of columns that hold several samples.
    struct Trace
    {
        QVector<float> xy;
        QVector<float> dots;
        QVector<QLine> dotLines;
        QVector<float> spans; // per plot column, see TraceColumnSpans
    };
    // What a band's trace was built from: while it holds, the pointer can
    // move over a paused plot without a single column being scanned again.
    struct TraceKey
    {
        quint64 revision = 0;
        qint64 viewStart = 0;
        double timeScale = 0.0;
        double rate = 0.0;
        double displayMin = 0.0;
        double displayMax = 0.0;
        int left = 0;
        int width = 0;
        int y0 = 0;
        int h = 0;
        bool operator==(const TraceKey& o) const
        {
            return revision == o.revision && viewStart == o.viewStart && timeScale == o.timeScale &&
                   rate == o.rate && displayMin == o.displayMin && displayMax == o.displayMax &&
                   left == o.left && width == o.width && y0 == o.y0 && h == o.h;
        }
    };
    struct CachedTrace
    {
        TraceKey key;
        Trace trace;
    };
    TraceKey traceKey(const Band& band) const;
    // Builds the band's trace unless the cached one still holds.
    void traceFor(const Band& band);
    void buildTrace(const Band& band, Trace& trace) const;
    QRect traceClip(const Band& band) const;
    void drawTraces(QPainter& p, const QVector<Band>& bands);
    void drawValueLabels(QPainter& p, const WaveformChannel& ch, int y0, int h);
    void drawFitButton(QPainter& p, int id, int y0);
    void drawCrosshair(QPainter& p);
    void drawCursorPairs(QPainter& p);
    void drawCursorReadout(QPainter& p);
    void drawCreationPreview(QPainter& p);
    void drawRanges(QPainter& p);
    void drawRangeReadout(QPainter& p);

    void buildMenus();
    void retranslate();
    bool overScrollBars(const QPoint& pos) const;
    bool inPlotArea(const QPoint& pos) const;
    // Pointer time snapped to the channel under the pointer.
    qint64 snappedTimeAt(const QPoint& pos) const;
    bool pressMeasuringTools(const QPoint& pos);
    void updateRangeStats(RangeMeasure& range) const;
    // Within 10 px of a cursor line or of the selected range's edges.
    bool nearMeasureLine(const QPoint& pos) const;
    void updateCursorShape(const QPoint& pos);
    void startNameEdit(int id);
    void commitNameEdit();
    void cancelNameEdit();

    void applyScrollBars();
    void placeScrollBars();
    void warn(const QString& text);
    // A file dialog of our own (not the platform's), so it looks like the
    // program and tests can answer it. Empty when cancelled.
    QString askFileName(bool save, const QString& title, const QString& filter);
    CProgressDialog* makeProgressDialog(const QString& title, const QString& text, int showDelayMs,
                                        QFutureWatcherBase* watcher);
    void updatePointerState(const QPoint& pos);
    void setColour(QColor& slot, const QColor& color);

    WaveformStore m_store;
    WaveformTraceRenderer m_trace;
    // Kept between frames: traces per channel id, and the span rows of the
    // bands drawn in a frame.
    QHash<int, CachedTrace> m_traceCache;
    QVector<const Trace*> m_frameTraces;
    QVector<float> m_spanData;
    CScrollBar64* m_hScroll = nullptr;
    QScrollBar* m_vScroll = nullptr;

    bool m_lightTheme = false;
    int m_editedChannel = -1;
    int m_hoverFitChannel = -1;
    Crosshair m_crosshair;

    // Navigation.
    QPoint m_lastMousePos{-1, -1};
    bool m_panning = false;
    int m_panLastX = 0;
    qint64 m_panViewStart = 0;
    QElapsedTimer m_panClock;
    PanInertia m_inertia;
    QTimer* m_inertiaTimer = nullptr;
    bool m_labelDrag = false;
    int m_labelPressX = 0;
    int m_labelWidthAtPress = 0;
    bool m_bandResize = false;
    int m_resizeChannel = -1;
    int m_resizePressY = 0;
    int m_heightAtPress = 0;
    QLineEdit* m_nameEditor = nullptr;

    // Cursor pairs.
    QList<CursorPair> m_pairs;
    int m_selectedPair = -1;
    int m_pairCounter = 0;
    bool m_creatingCursorPair = false;
    int m_creationStep = 0;
    qint64 m_createTime1 = 0;
    qint64 m_createTime2 = 0;
    QColor m_createColor;

    // Range measurements.
    QList<RangeMeasure> m_ranges;
    int m_selectedRange = -1;
    bool m_rangeArmed = false;
    bool m_rangeDragging = false;
    int m_rangeChannel = -1;
    qint64 m_rangeStart = 0;
    qint64 m_rangeEnd = 0;
    bool m_rangeEdgeDrag = false;
    int m_rangeEdge = 0; // 1: time1, 2: time2
    int m_rangeEdgeIndex = -1;

    // Menus and shortcuts.
    QMenu* m_plotMenu = nullptr;
    QMenu* m_pairMenu = nullptr;
    QMenu* m_rangeMenu = nullptr;
    QAction* m_actFitView = nullptr;
    QAction* m_actResizeAll = nullptr;
    QAction* m_actRestoreY = nullptr;
    QAction* m_actSaveImage = nullptr;
    QAction* m_actSaveCsv = nullptr;
    QAction* m_actReplayCsv = nullptr;
    QAction* m_actDeleteData = nullptr;
    QAction* m_actDeleteAllPairs = nullptr;
    QAction* m_actDeleteAllRanges = nullptr;
    QAction* m_actDeletePair = nullptr;
    QAction* m_actDeleteRange = nullptr;
    QShortcut* m_cursorShortcut = nullptr;
    // CSV tasks: one of each kind at a time, each with its progress window.
    QFutureWatcher<CsvSaveResult>* m_saveWatcher = nullptr;
    QFutureWatcher<CsvParseResult>* m_parseWatcher = nullptr;
    QFutureWatcher<QString>* m_imageWatcher = nullptr; // error text, empty on success
    QPointer<CProgressDialog> m_saveProgress;
    QPointer<CProgressDialog> m_replayProgress;
    QVector<int> m_replayColumns; // data column -> channel id of the running replay
    bool m_exporting = false;
    bool m_replaying = false;
    bool m_savingImage = false;
    QShortcut* m_rangeShortcut = nullptr;

    QColor m_bgColor = QColor(27, 27, 28);
    QColor m_gridLineColor = QColor(85, 85, 85);
    QColor m_axisLabelColor = QColor(221, 221, 221);
    QColor m_axisLabelBgColor = QColor(23, 23, 25, 100);
    QColor m_channelNameColor = QColor(255, 255, 255);
    QColor m_markerColor = QColor(238, 238, 238);
    QColor m_markerLineColor = QColor(0x88, 0x88, 0x88);
};
