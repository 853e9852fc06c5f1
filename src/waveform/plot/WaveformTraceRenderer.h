#pragma once

#include <QColor>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QVector>

#include <memory>

// Draws waveform traces on the plot's GL surface. A trace arrives as column
// spans (see TraceColumnSpans): all bands of a frame are uploaded as one
// texture, a row per band, and each band is then drawn as a row of narrow
// rectangles, each just tall enough for the spans of its few columns, whose
// fragment shader covers, per pixel column, the rows between the span's ends
// (edges anti-aliased by area). Sample dots are round GL points. Both keep the
// frame's cost tied to the plot's size instead of the number of segments:
// QPainter's stroker and multisampled line primitives each cost a software
// rasteriser more than a frame's budget for sixteen dense bands.
// Needs a current context for every call, including destroy().
class WaveformTraceRenderer
{
public:
    WaveformTraceRenderer();
    ~WaveformTraceRenderer();

    // False when the context cannot run the shaders; the caller then keeps
    // painting the trace itself.
    bool initialize();
    bool isReady() const { return m_ready; }
    void destroy();

    // Columns per group; groups merge into wider rectangles where that
    // saves work (see uploadSpans).
    static constexpr int kColumnsPerQuad = 4;
    static constexpr float kQuadCostPixels = 128.0f;

    // `spans` holds `rows` rows of `width` columns, a top/bottom pair each;
    // column 0 lies at widget x `left`.
    void uploadSpans(const QVector<float>& spans, int left, int width, int rows);
    // Draws row `row` of the uploaded spans, limited to `clip` (widget
    // pixels), on a surface of `widgetSize` logical pixels at
    // `devicePixelRatio`.
    void drawSpans(int row, const QColor& colour, const QRect& clip, const QSize& widgetSize,
                   qreal devicePixelRatio);
    // Round dots of `diameter` pixels centred on x0, y0, x1, y1, ...
    void drawDots(const QVector<float>& xy, float diameter, const QColor& colour, const QRect& clip,
                  const QSize& widgetSize, qreal devicePixelRatio);

private:
    void begin(QOpenGLShaderProgram& program, QOpenGLVertexArrayObject& vao, const QColor& colour,
               const QRect& clip, const QSize& widgetSize, qreal devicePixelRatio);
    void end(QOpenGLShaderProgram& program, QOpenGLVertexArrayObject& vao);

    bool m_ready = false;
    std::unique_ptr<QOpenGLShaderProgram> m_spanProgram;
    std::unique_ptr<QOpenGLShaderProgram> m_dotProgram;
    QOpenGLVertexArrayObject m_dotVao;
    QOpenGLBuffer m_dotVbo{QOpenGLBuffer::VertexBuffer};
    QOpenGLVertexArrayObject m_quadVao;
    QOpenGLBuffer m_quadVbo{QOpenGLBuffer::VertexBuffer};
    unsigned int m_texture = 0;
    QPointer<QOpenGLContext> m_textureContext;
    int m_textureWidth = 0;
    int m_textureRows = 0;
    int m_left = 0;
    bool m_multisampled = false;
    // Triangles of the rectangles, all rows; row r uses m_quadFirst[r] ..
    // m_quadFirst[r + 1] (vertex indices).
    QVector<float> m_quadVertices;
    QVector<int> m_quadFirst;
};
