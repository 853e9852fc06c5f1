#pragma once

#include <QString>

// The process-wide configuration values, kept in config.ini in the per-user
// data folder. Read once at start-up, written once at an orderly close;
// panels read and write these variables directly in between.
struct AppConfig
{
    // SERIAL-PORT-SET
    static QString Baudrate;
    static QString DataBits;
    static QString ParityBits;
    static QString StopBits;
    static QString FlowCtrl;
    static QString LastPort; // the port last opened by the user, selected at start
    static bool DtrOn;       // DTR asserted while the port is open
    static bool RtsOn;       // RTS asserted (unless hardware flow control owns it)
    static int PulseMs;      // length of the DTR/RTS reset pulse
    static int BreakMs;      // length of a sent break
    // RX-SET
    static bool HexRxMode;
    // Bytes per hex line; 0 = as many as the log view's width holds.
    static int HexBytesPerLine;
    // Hex lines carry an offset and a character column (hexdump -C layout).
    static bool HexDumpColumns;
    static bool AutoWrap;
    static bool ShowTime;
    static bool ShowSend;
    static int TimestampFormat; // LineStamp::Format
    // TX-SET
    static bool HexTxMode;
    static bool MultiLineSend;
    static bool RepeatSend;
    static bool SendNewLine;
    // DISPLAY-SET
    static QString LogWinFont;
    static QString LogSavePath;
    static QString LogFileName;
    static bool LogHighlight;
    // Colour codes (SGR) in received text are shown as colours; off, they are removed.
    static bool LogAnsiColours;
    // MAIN-WIN
    static int MainWinWidth;
    static int MainWinHeight;
    static int Skin;
    static bool Language;
    static QString LuaScriptPath;
    static bool LuaScriptEnabled;
    static int LuaScriptMode;
    static QString UpdateCheckUrl;
    static bool AutoCheckUpdate;

    // The update manifest asked for when the file names none.
    static const char* const kDefaultUpdateCheckUrl;

    // Puts every value back to its default.
    static void resetToDefaults();
    // userDataDir() + "/config.ini".
    static QString filePath();
    // Creates the folder if needed and reads every key with its default.
    static void loadConfiguration();
    // Writes every key in table order; keys the file had that are not ours
    // are kept. The file is replaced atomically, never left half written.
    // Returns false when the file could not be written.
    static bool saveConfiguration();
};
