#pragma once

#include <QColor>
#include <QOpenGLBuffer>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QRect>
#include <QSize>
#include <QVector>

#include <memory>

// Draws a waveform trace as one GL line strip. The plot's QPainter strokes
// paths by building triangles on the CPU and filling them; for thousands of
// 1-pixel segments per band that fill dominated the frame with software
// OpenGL, while line primitives cost a fraction of it. Needs a current
// context for every call, including destroy().
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

    // `xy` holds x0, y0, x1, y1, ... in widget pixels (vertex on the pixel
    // centre at +0.5). Drawn with scissor `clip` (widget pixels) on a
    // surface of `widgetSize` logical pixels at `devicePixelRatio`.
    void drawStrip(const QVector<float>& xy, const QColor& colour, const QRect& clip, const QSize& widgetSize,
                   qreal devicePixelRatio);

private:
    bool m_ready = false;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLVertexArrayObject m_vao;
    QOpenGLBuffer m_vbo{QOpenGLBuffer::VertexBuffer};
    int m_sizeLocation = -1;
    int m_colourLocation = -1;
};
