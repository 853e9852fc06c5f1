#pragma once

#include "HexDumpLayout.h"
#include "HexLineFormatter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringDecoder>

class CLuaScriptEngine;

// Turns received chunks into display text, off the GUI thread. Hex mode keeps
// a column counter across chunks; text mode decodes UTF-8 with a decoder that
// keeps its state across chunks, so a character split between two chunks is
// still shown whole.
class DataHandlerWorker : public QObject
{
    Q_OBJECT
public:
    explicit DataHandlerWorker(QObject* parent = nullptr);

    int hexColumn() const { return m_hex.column(); }
    // Not owned. In frame-parser mode its parser turns chunks into frames.
    void setScriptEngine(CLuaScriptEngine* engine) { m_engine = engine; }

public Q_SLOTS:
    // Hex mode in the dump layout (offset, hex, characters; see
    // HexDumpLayout) instead of bare hex pairs.
    void setDumpLayout(bool on) { m_dumpLayout = on; }
    // The dump's offsets count from 0 again (the log was cleared).
    void resetDumpOffset() { m_dump.reset(); }
    void processData(QByteArray data, bool isHexMode, bool isAutoWrap, bool addHexNewLine,
                     int hexBytesPerLine);

Q_SIGNALS:
    void dataProcessed(QString strData);

private:
    HexLineFormatter m_hex;
    HexDumpLayout m_dump;
    bool m_dumpLayout = false;
    QStringDecoder m_decoder;
    CLuaScriptEngine* m_engine = nullptr;
};
