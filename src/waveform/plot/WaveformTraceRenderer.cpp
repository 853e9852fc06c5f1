#include "WaveformTraceRenderer.h"

#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

const char kVertexShader[] = R"(#version 330 core
layout(location = 0) in vec2 position;
uniform vec2 widgetSize;
void main()
{
    gl_Position = vec4(2.0 * position.x / widgetSize.x - 1.0, 1.0 - 2.0 * position.y / widgetSize.y, 0.0, 1.0);
}
)";

const char kFragmentShader[] = R"(#version 330 core
uniform vec4 colour;
out vec4 fragColour;
void main()
{
    fragColour = colour;
}
)";

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
    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) || !m_program->link()) {
        qWarning().noquote() << "[MultiChannelWaveformWidget] trace shaders unavailable:" << m_program->log();
        m_program.reset();
        return false;
    }
    m_sizeLocation = m_program->uniformLocation("widgetSize");
    m_colourLocation = m_program->uniformLocation("colour");
    if (!m_vao.create() || !m_vbo.create()) {
        m_program.reset();
        return false;
    }
    m_vbo.setUsagePattern(QOpenGLBuffer::StreamDraw);
    m_vao.bind();
    m_vbo.bind();
    QOpenGLFunctions* f = context->functions();
    f->glEnableVertexAttribArray(0);
    f->glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    m_vbo.release();
    m_vao.release();
    m_ready = true;
    return true;
}

void WaveformTraceRenderer::destroy()
{
    m_ready = false;
    if (m_vbo.isCreated())
        m_vbo.destroy();
    if (m_vao.isCreated())
        m_vao.destroy();
    m_program.reset();
}

void WaveformTraceRenderer::drawStrip(const QVector<float>& xy, const QColor& colour, const QRect& clip,
                                      const QSize& widgetSize, qreal devicePixelRatio)
{
    if (!m_ready || xy.size() < 4 || clip.isEmpty() || widgetSize.isEmpty())
        return;
    QOpenGLFunctions* f = QOpenGLContext::currentContext()->functions();
    f->glEnable(GL_SCISSOR_TEST);
    // GL counts rows from the bottom.
    f->glScissor(qRound(clip.x() * devicePixelRatio),
                 qRound((widgetSize.height() - clip.y() - clip.height()) * devicePixelRatio),
                 qRound(clip.width() * devicePixelRatio), qRound(clip.height() * devicePixelRatio));
    f->glDisable(GL_DEPTH_TEST);
    f->glDisable(GL_STENCIL_TEST);
    f->glEnable(GL_BLEND);
    f->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    f->glLineWidth(1.0f);

    m_program->bind();
    m_program->setUniformValue(m_sizeLocation, float(widgetSize.width()), float(widgetSize.height()));
    m_program->setUniformValue(m_colourLocation, colour);
    m_vao.bind();
    m_vbo.bind();
    m_vbo.allocate(xy.constData(), int(xy.size() * sizeof(float)));
    f->glDrawArrays(GL_LINE_STRIP, 0, GLsizei(xy.size() / 2));
    m_vbo.release();
    m_vao.release();
    m_program->release();
    f->glDisable(GL_SCISSOR_TEST);
}
