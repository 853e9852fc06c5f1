#include "DataHandlerWorker.h"

#include "CLuaScriptEngine.h"
#include "HexText.h"

DataHandlerWorker::DataHandlerWorker(QObject* parent)
    : QObject(parent), m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)
{
}

void DataHandlerWorker::processData(QByteArray data, bool isHexMode, bool isAutoWrap, bool addHexNewLine,
                                    int hexBytesPerLine)
{
    if (data.isEmpty())
        return;
    if (m_engine && m_engine->isFrameParsing()) {
        // Frames are shown as hex whatever the display mode; no frame, no text.
        const QList<QByteArray> frames = m_engine->parseFrames(data);
        if (frames.isEmpty())
            return;
        QString text;
        for (const QByteArray& frame : frames) {
            text += HexText::dump(frame, hexBytesPerLine);
            text += QLatin1Char('\n');
        }
        if (isAutoWrap)
            text += QLatin1Char('\n');
        Q_EMIT dataProcessed(text);
        return;
    }
    // During an automation run the script alone consumes what arrives.
    if (m_engine && m_engine->isAutomationRunning())
        return;

    QString text;
    if (isHexMode) {
        // Half a character left over from text mode must not join bytes that
        // arrive after the next switch back.
        m_decoder.resetState();
        if (m_dumpLayout) {
            // Every line comes out whole, so no line end after the chunk.
            if (addHexNewLine)
                m_dump.newLine();
            const int perLine =
                qBound(HexDumpLayout::kMinBytesPerLine, hexBytesPerLine, HexDumpLayout::kMaxBytesPerLine);
            text.reserve((data.size() / perLine + 2) * (HexDumpLayout::lineWidth(perLine) + 1));
            m_dump.append(text, data.constData(), data.size(), hexBytesPerLine);
        } else {
            if (addHexNewLine)
                m_hex.reset();
            text.reserve(HexLineFormatter::maxLength(data.size(), hexBytesPerLine) + 1);
            m_hex.append(text, data.constData(), data.size(), hexBytesPerLine);
        }
    } else {
        text = m_decoder.decode(data);
    }
    if (isAutoWrap)
        text.append(QLatin1Char('\n'));
    if (text.isEmpty())
        return; // only the first bytes of a character so far
    Q_EMIT dataProcessed(text);
}
