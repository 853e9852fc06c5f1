#include "WaveformTraceRenderer.h"

#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

#include "TraceColumnSpans.h"

#include <cmath>
#include <utility>

namespace {

// Widget pixels (y down) to clip space.
const char kVertexShader[] = R"(#version 330 core
layout(location = 0) in vec2 position;
uniform vec2 widgetSize;
uniform float pointSize;
void main()
{
    gl_Position = vec4(2.0 * position.x / widgetSize.x - 1.0, 1.0 - 2.0 * position.y / widgetSize.y, 0.0, 1.0);
    gl_PointSize = pointSize;
}
)";

// A 1-pixel line through the span's ends covers [top - 0.5, bottom + 0.5];
// a pixel row gets the share of its height that lies inside.
const char kSpanFragmentShader[] = R"(#version 330 core
uniform sampler2D spans;
uniform vec4 colour;
uniform float left;
uniform int row;
uniform float ratio;
uniform float surfaceHeight;
out vec4 fragColour;
void main()
{
    float x = gl_FragCoord.x / ratio - left;
    int column = int(floor(x));
    if (column < 0 || column >= textureSize(spans, 0).x)
        discard;
    vec2 span = texelFetch(spans, ivec2(column, row), 0).xy;
    if (span.x > span.y)
        discard;
    float y = (surfaceHeight - gl_FragCoord.y) / ratio;
    float halfPixel = 0.5 / ratio;
    float cover = (min(span.y + 0.5, y + halfPixel) - max(span.x - 0.5, y - halfPixel)) * ratio;
    if (cover <= 0.0)
        discard;
    fragColour = vec4(colour.rgb, colour.a * min(cover, 1.0));
}
)";

const char kDotFragmentShader[] = R"(#version 330 core
uniform vec4 colour;
uniform float pointSize;
out vec4 fragColour;
void main()
{
    float d = length(gl_PointCoord - vec2(0.5)) * pointSize;
    float cover = clamp(0.5 * pointSize + 0.5 - d, 0.0, 1.0);
    if (cover <= 0.0)
        discard;
    fragColour = vec4(colour.rgb, colour.a * cover);
}
)";

std::unique_ptr<QOpenGLShaderProgram> buildProgram(const char* fragment)
{
    auto program = std::make_unique<QOpenGLShaderProgram>();
    if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !program->addShaderFromSourceCode(QOpenGLShader::Fragment, fragment) || !program->link()) {
        qWarning().noquote() << "[MultiChannelWaveformWidget] trace shaders unavailable:" << program->log();
        return nullptr;
    }
    return program;
}

} // namespace

WaveformTraceRenderer::WaveformTraceRenderer() = default;

WaveformTraceRenderer::~WaveformTraceRenderer() = default;

bool WaveformTraceRenderer::initialize()
{
    if (m_ready)
        return true;
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context || context->isOpenGLES() || context->format().version() < qMakePair(3, 3))
        return false;
    m_spanProgram = buildProgram(kSpanFragmentShader);
    m_dotProgram = buildProgram(kDotFragmentShader);
    if (!m_spanProgram || !m_dotProgram || !m_dotVao.create() || !m_dotVbo.create() || !m_quadVao.create() ||
        !m_quadVbo.create()) {
        destroy();
        return false;
    }
    QOpenGLFunctions* f = context->functions();
    for (auto [vao, vbo] : {std::pair{&m_dotVao, &m_dotVbo}, std::pair{&m_quadVao, &m_quadVbo}}) {
        vbo->setUsagePattern(QOpenGLBuffer::StreamDraw);
        vao->bind();
        vbo->bind();
        f->glEnableVertexAttribArray(0);
        f->glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        vbo->release();
        vao->release();
    }
    f->glGenTextures(1, &m_texture);
    m_textureContext = context;
    m_ready = true;
    return true;
}

void WaveformTraceRenderer::destroy()
{
    m_ready = false;
    if (m_texture != 0) {
        // Only in the context that made it: after a move to a new context the
        // same number may name somebody else's texture, and the old context
        // freed ours when it went.
        QOpenGLContext* context = QOpenGLContext::currentContext();
        if (context && context == m_textureContext)
            context->functions()->glDeleteTextures(1, &m_texture);
        m_texture = 0;
        m_textureContext = nullptr;
    }
    m_textureWidth = m_textureRows = 0;
    for (QOpenGLBuffer* vbo : {&m_dotVbo, &m_quadVbo}) {
        if (vbo->isCreated())
            vbo->destroy();
    }
    for (QOpenGLVertexArrayObject* vao : {&m_dotVao, &m_quadVao}) {
        if (vao->isCreated())
            vao->destroy();
    }
    m_spanProgram.reset();
    m_dotProgram.reset();
}

void WaveformTraceRenderer::uploadSpans(const QVector<float>& spans, int left, int width, int rows)
{
    m_quadFirst.fill(0, qMax(0, rows) + 1);
    if (!m_ready || width <= 0 || rows <= 0 || spans.size() < qsizetype(2) * width * rows)
        return;
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    f->glActiveTexture(GL_TEXTURE0);
    f->glBindTexture(GL_TEXTURE_2D, m_texture);
    f->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (width != m_textureWidth || rows > m_textureRows) {
        f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        f->glTexImage2D(GL_TEXTURE_2D, 0, GL_RG32F, width, rows, 0, GL_RG, GL_FLOAT, spans.constData());
        m_textureWidth = width;
        m_textureRows = rows;
    } else {
        f->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, rows, GL_RG, GL_FLOAT, spans.constData());
    }
    f->glBindTexture(GL_TEXTURE_2D, 0);
    m_left = left;
    GLint samples = 0;
    f->glGetIntegerv(GL_SAMPLES, &samples);
    m_multisampled = samples > 1;

    // Rectangles over groups of columns, each from the highest to the lowest
    // span end, widened by the line's half pixel and the pixel that shares
    // it. A group joins the rectangle before it when the larger rectangle
    // costs less than drawing both: a rectangle's setup is worth about
    // kQuadCostPixels of filling, so a dense band becomes one rectangle and a
    // smooth trace a chain of short, flat ones.
    m_quadVertices.clear();
    auto addQuad = [this](float x0, float x1, float y0, float y1) {
        m_quadVertices.append({x0, y0, x1, y0, x0, y1, x1, y0, x1, y1, x0, y1});
    };
    for (int r = 0; r < rows; ++r) {
        const float* row = spans.constData() + qsizetype(2) * width * r;
        bool open = false;
        float qx0 = 0, qx1 = 0, qy0 = 0, qy1 = 0;
        for (int c0 = 0; c0 < width; c0 += kColumnsPerQuad) {
            const int c1 = qMin(width, c0 + kColumnsPerQuad);
            float top = TraceColumnSpans::kNoTop;
            float bottom = TraceColumnSpans::kNoBottom;
            for (int c = c0; c < c1; ++c) {
                top = qMin(top, row[2 * c]);
                bottom = qMax(bottom, row[2 * c + 1]);
            }
            if (TraceColumnSpans::isEmpty(top, bottom))
                continue;
            const float x0 = float(left + c0), x1 = float(left + c1);
            const float y0 = std::floor(top - 0.5f), y1 = std::ceil(bottom + 0.5f);
            if (open && x0 == qx1) {
                const float my0 = qMin(qy0, y0), my1 = qMax(qy1, y1);
                const float merged = (x1 - qx0) * (my1 - my0);
                const float apart = (qx1 - qx0) * (qy1 - qy0) + (x1 - x0) * (y1 - y0) + kQuadCostPixels;
                if (merged <= apart) {
                    qx1 = x1;
                    qy0 = my0;
                    qy1 = my1;
                    continue;
                }
            }
            if (open)
                addQuad(qx0, qx1, qy0, qy1);
            open = true;
            qx0 = x0;
            qx1 = x1;
            qy0 = y0;
            qy1 = y1;
        }
        if (open)
            addQuad(qx0, qx1, qy0, qy1);
        m_quadFirst[r + 1] = int(m_quadVertices.size() / 2);
    }
    m_quadVbo.bind();
    m_quadVbo.allocate(m_quadVertices.constData(), int(m_quadVertices.size() * sizeof(float)));
    m_quadVbo.release();
}

void WaveformTraceRenderer::begin(QOpenGLShaderProgram& program, QOpenGLVertexArrayObject& vao,
                                  const QColor& colour, const QRect& clip, const QSize& widgetSize,
                                  qreal devicePixelRatio)
{
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    f->glEnable(GL_SCISSOR_TEST);
    // GL counts rows from the bottom.
    f->glScissor(qRound(clip.x() * devicePixelRatio),
                 qRound((widgetSize.height() - clip.y() - clip.height()) * devicePixelRatio),
                 qRound(clip.width() * devicePixelRatio), qRound(clip.height() * devicePixelRatio));
    f->glDisable(GL_DEPTH_TEST);
    f->glDisable(GL_STENCIL_TEST);
    f->glEnable(GL_BLEND);
    // Colour blends by coverage; the surface stays opaque where it was.
    f->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    program.bind();
    program.setUniformValue("widgetSize", float(widgetSize.width()), float(widgetSize.height()));
    program.setUniformValue("colour", colour);
    vao.bind();
}

void WaveformTraceRenderer::end(QOpenGLShaderProgram& program, QOpenGLVertexArrayObject& vao)
{
    vao.release();
    program.release();
    QOpenGLContext::currentContext()->functions()->glDisable(GL_SCISSOR_TEST);
}

void WaveformTraceRenderer::drawSpans(int row, const QColor& colour, const QRect& clip,
                                      const QSize& widgetSize, qreal devicePixelRatio)
{
    if (!m_ready || row < 0 || row + 1 >= m_quadFirst.size() || clip.isEmpty() || widgetSize.isEmpty())
        return;
    const int first = m_quadFirst.at(row);
    const int count = m_quadFirst.at(row + 1) - first;
    if (count <= 0)
        return;
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    begin(*m_spanProgram, m_quadVao, colour, clip, widgetSize, devicePixelRatio);
    f->glActiveTexture(GL_TEXTURE0);
    f->glBindTexture(GL_TEXTURE_2D, m_texture);
    m_spanProgram->setUniformValue("spans", 0);
    m_spanProgram->setUniformValue("left", float(m_left));
    m_spanProgram->setUniformValue("row", row);
    m_spanProgram->setUniformValue("ratio", float(devicePixelRatio));
    m_spanProgram->setUniformValue("surfaceHeight", float(widgetSize.height() * devicePixelRatio));
    m_spanProgram->setUniformValue("pointSize", 1.0f);
    // On a multisampled surface the coverage becomes a share of the
    // pixel's samples: plain writes instead of reading and blending every
    // sample, which is most of the cost of a dense band in software.
    if (m_multisampled) {
        f->glDisable(GL_BLEND);
        f->glEnable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    }
    f->glDrawArrays(GL_TRIANGLES, first, count);
    if (m_multisampled)
        f->glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    f->glBindTexture(GL_TEXTURE_2D, 0);
    end(*m_spanProgram, m_quadVao);
}

void WaveformTraceRenderer::drawDots(const QVector<float>& xy, float diameter, const QColor& colour,
                                     const QRect& clip, const QSize& widgetSize, qreal devicePixelRatio)
{
    if (!m_ready || xy.size() < 2 || clip.isEmpty() || widgetSize.isEmpty())
        return;
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    begin(*m_dotProgram, m_dotVao, colour, clip, widgetSize, devicePixelRatio);
    f->glEnable(GL_PROGRAM_POINT_SIZE);
    m_dotProgram->setUniformValue("pointSize", float(diameter * devicePixelRatio));
    m_dotVbo.bind();
    m_dotVbo.allocate(xy.constData(), int(xy.size() * sizeof(float)));
    m_dotVbo.release();
    f->glDrawArrays(GL_POINTS, 0, GLsizei(xy.size() / 2));
    f->glDisable(GL_PROGRAM_POINT_SIZE);
    end(*m_dotProgram, m_dotVao);
}
