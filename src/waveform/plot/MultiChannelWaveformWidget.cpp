#include "MultiChannelWaveformWidget.h"

#include "CScrollBar64.h"
#include "SkinManager.h"
#include "StyleWatcher.h"
#include "TimeAxis.h"
#include "TraceColumnSpans.h"

#include <QDebug>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

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
}

MultiChannelWaveformWidget::~MultiChannelWaveformWidget()
{
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
    clearCursorPairs();
    m_creatingCursorPair = false;
    m_store.clampView();
    applyScrollBars();
    update();
}

void MultiChannelWaveformWidget::setSampleRate(double rate)
{
    m_store.setSampleRate(rate);
}

void MultiChannelWaveformWidget::clearCursorPairs() {}

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

void MultiChannelWaveformWidget::updateInertia() {}

void MultiChannelWaveformWidget::updateRecordingTime() {}

void MultiChannelWaveformWidget::onActivateCursorCreation() {}

void MultiChannelWaveformWidget::onActivateRegionSelection() {}

void MultiChannelWaveformWidget::onDeleteSelectedCursorPair() {}

void MultiChannelWaveformWidget::onDeleteSelectedRegion() {}

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

void MultiChannelWaveformWidget::onSaveCsvLoadFinished() {}

void MultiChannelWaveformWidget::onReplayCsvLoadFinished() {}

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

void MultiChannelWaveformWidget::updatePointerState(const QPoint& pos)
{
    const QRect plot = plotRect();
    const bool overPlot = pos.x() >= plot.left() && pos.x() < plot.left() + plot.width() &&
                          pos.y() >= plot.top() && pos.y() < plot.top() + plot.height();
    m_crosshair.visible = overPlot;
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

void MultiChannelWaveformWidget::mouseMoveEvent(QMouseEvent* event)
{
    updatePointerState(event->position().toPoint());
    update();
    QOpenGLWidget::mouseMoveEvent(event);
}

void MultiChannelWaveformWidget::leaveEvent(QEvent* event)
{
    m_crosshair.visible = false;
    m_hoverFitChannel = -1;
    update();
    QOpenGLWidget::leaveEvent(event);
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
