#include "AppConfig.h"

#include "AppPaths.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

QString AppConfig::Baudrate;
QString AppConfig::DataBits;
QString AppConfig::ParityBits;
QString AppConfig::StopBits;
QString AppConfig::FlowCtrl;
QString AppConfig::LastPort;
bool AppConfig::DtrOn;
bool AppConfig::RtsOn;
int AppConfig::PulseMs;
int AppConfig::BreakMs;
bool AppConfig::HexRxMode;
int AppConfig::HexBytesPerLine;
bool AppConfig::HexDumpColumns;
bool AppConfig::AutoWrap;
bool AppConfig::ShowTime;
bool AppConfig::ShowSend;
int AppConfig::TimestampFormat;
bool AppConfig::HexTxMode;
bool AppConfig::MultiLineSend;
bool AppConfig::RepeatSend;
bool AppConfig::SendNewLine;
QString AppConfig::LogWinFont;
QString AppConfig::LogSavePath;
QString AppConfig::LogFileName;
bool AppConfig::LogHighlight;
bool AppConfig::LogAnsiColours;
int AppConfig::MainWinWidth;
int AppConfig::MainWinHeight;
int AppConfig::Skin;
bool AppConfig::Language;
QString AppConfig::LuaScriptPath;
bool AppConfig::LuaScriptEnabled;
int AppConfig::LuaScriptMode;
QString AppConfig::UpdateCheckUrl;
bool AppConfig::AutoCheckUpdate;

// A packaging build may name another manifest, or none to turn checks off
// (cmake -DCORVANE_UPDATE_CHECK_URL=).
#ifndef CORVANE_UPDATE_CHECK_URL
#define CORVANE_UPDATE_CHECK_URL "https://corvane.dev/update/latest.json"
#endif
const char* const AppConfig::kDefaultUpdateCheckUrl = CORVANE_UPDATE_CHECK_URL;

namespace {

// "Roboto Mono" at 10 points in the toolkit's font string form. Built by hand so
// that QtCore alone can produce it (QFont lives in QtGui).
QString defaultLogFont()
{
    return QStringLiteral("Roboto Mono,10,-1,5,400,0,0,0,0,0,0,0,0,0,0,1");
}

QString defaultLogSavePath()
{
    // An installed program's folder is read-only; capture then goes to the
    // user's own folder so it works out of the box.
    const QString app = AppPaths::appDir();
    if (AppPaths::isWritableDir(app))
        return app;
    return AppPaths::userDataDir();
}

// Every key of the file, in file order, with its default. One table drives
// both load and save so they cannot drift apart.
enum class Kind
{
    Text,
    Bool,
    Int
};
struct Entry
{
    const char* section;
    const char* key;
    Kind kind;
    void* var;
};

const Entry* entries(int* count)
{
    static const Entry table[] = {
        {"SERIAL-PORT-SET", "Baudrate", Kind::Text, &AppConfig::Baudrate},
        {"SERIAL-PORT-SET", "DataBits", Kind::Text, &AppConfig::DataBits},
        {"SERIAL-PORT-SET", "ParityBits", Kind::Text, &AppConfig::ParityBits},
        {"SERIAL-PORT-SET", "StopBits", Kind::Text, &AppConfig::StopBits},
        {"SERIAL-PORT-SET", "FlowCtrl", Kind::Text, &AppConfig::FlowCtrl},
        {"SERIAL-PORT-SET", "LastPort", Kind::Text, &AppConfig::LastPort},
        {"SERIAL-PORT-SET", "DtrOn", Kind::Bool, &AppConfig::DtrOn},
        {"SERIAL-PORT-SET", "RtsOn", Kind::Bool, &AppConfig::RtsOn},
        {"SERIAL-PORT-SET", "PulseMs", Kind::Int, &AppConfig::PulseMs},
        {"SERIAL-PORT-SET", "BreakMs", Kind::Int, &AppConfig::BreakMs},
        {"RX-SET", "HexRxMode", Kind::Bool, &AppConfig::HexRxMode},
        {"RX-SET", "HexBytesPerLine", Kind::Int, &AppConfig::HexBytesPerLine},
        {"RX-SET", "AutoWrap", Kind::Bool, &AppConfig::AutoWrap},
        {"RX-SET", "HexDumpColumns", Kind::Bool, &AppConfig::HexDumpColumns},
        {"RX-SET", "ShowTime", Kind::Bool, &AppConfig::ShowTime},
        {"RX-SET", "ShowSend", Kind::Bool, &AppConfig::ShowSend},
        {"RX-SET", "TimestampFormat", Kind::Int, &AppConfig::TimestampFormat},
        {"TX-SET", "HexTxMode", Kind::Bool, &AppConfig::HexTxMode},
        {"TX-SET", "MultiLineSend", Kind::Bool, &AppConfig::MultiLineSend},
        {"TX-SET", "RepeatSend", Kind::Bool, &AppConfig::RepeatSend},
        {"TX-SET", "SendNewLine", Kind::Bool, &AppConfig::SendNewLine},
        {"DISPLAY-SET", "LogWinFont", Kind::Text, &AppConfig::LogWinFont},
        {"DISPLAY-SET", "LogSavePath", Kind::Text, &AppConfig::LogSavePath},
        {"DISPLAY-SET", "LogFileName", Kind::Text, &AppConfig::LogFileName},
        {"DISPLAY-SET", "LogHighlight", Kind::Bool, &AppConfig::LogHighlight},
        {"DISPLAY-SET", "LogAnsiColours", Kind::Bool, &AppConfig::LogAnsiColours},
        {"MAIN-WIN", "MainWinWidth", Kind::Int, &AppConfig::MainWinWidth},
        {"MAIN-WIN", "MainWinHeight", Kind::Int, &AppConfig::MainWinHeight},
        {"MAIN-WIN", "Skin", Kind::Int, &AppConfig::Skin},
        {"MAIN-WIN", "Language", Kind::Bool, &AppConfig::Language},
        {"MAIN-WIN", "LuaScriptPath", Kind::Text, &AppConfig::LuaScriptPath},
        {"MAIN-WIN", "LuaScriptEnabled", Kind::Bool, &AppConfig::LuaScriptEnabled},
        {"MAIN-WIN", "LuaScriptMode", Kind::Int, &AppConfig::LuaScriptMode},
        {"MAIN-WIN", "UpdateCheckUrl", Kind::Text, &AppConfig::UpdateCheckUrl},
        {"MAIN-WIN", "AutoCheckUpdate", Kind::Bool, &AppConfig::AutoCheckUpdate},
    };
    *count = int(sizeof(table) / sizeof(table[0]));
    return table;
}

// QVariant's own conversion: a non-numeric number gives 0, "true"/"false"
// texts give booleans; readers of the values cope with what comes out.
void readEntry(QSettings& s, const Entry& e)
{
    const QString key = QString::fromLatin1(e.key);
    switch (e.kind) {
    case Kind::Text: {
        auto* v = static_cast<QString*>(e.var);
        const QVariant raw = s.value(key, *v);
        *v = raw.canConvert<QString>() ? raw.toString() : raw.toStringList().join(QLatin1Char(','));
        break;
    }
    case Kind::Bool: {
        auto* v = static_cast<bool*>(e.var);
        *v = s.value(key, *v).toBool();
        break;
    }
    case Kind::Int: {
        auto* v = static_cast<int*>(e.var);
        *v = s.value(key, *v).toInt();
        break;
    }
    }
}

void writeEntry(QSettings& s, const Entry& e)
{
    const QString key = QString::fromLatin1(e.key);
    switch (e.kind) {
    case Kind::Text:
        s.setValue(key, *static_cast<QString*>(e.var));
        break;
    case Kind::Bool:
        s.setValue(key, *static_cast<bool*>(e.var));
        break;
    case Kind::Int:
        s.setValue(key, *static_cast<int*>(e.var));
        break;
    }
}

QString fullKey(const Entry& e)
{
    return QLatin1String(e.section) + QLatin1Char('/') + QLatin1String(e.key);
}

bool sameValue(const Entry& e, const QVariant& stored)
{
    switch (e.kind) {
    case Kind::Text:
        return stored.toString() == *static_cast<QString*>(e.var);
    case Kind::Bool:
        return stored.toString() ==
               (*static_cast<bool*>(e.var) ? QLatin1String("true") : QLatin1String("false"));
    case Kind::Int: {
        bool ok = false;
        const int v = stored.toString().toInt(&ok);
        return ok && v == *static_cast<int*>(e.var);
    }
    }
    return false;
}

// QSettings writes sections and keys sorted by name. This puts the table's
// sections and keys back in table order; keys and sections that are not in
// the table follow their section, or the table, in the order they came.
QByteArray inTableOrder(const QByteArray& rendered, const Entry* table, int count)
{
    struct Section
    {
        QByteArray header;
        QList<QByteArray> lines;
        bool used = false;
    };
    QList<Section> sections;
    QList<QByteArray> preamble;
    for (const QByteArray& raw : rendered.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            sections.append(Section{line, {}, false});
            continue;
        }
        if (sections.isEmpty())
            preamble << line;
        else
            sections.last().lines << line;
    }
    QByteArray out;
    for (const QByteArray& line : preamble)
        out += line + '\n';
    auto emitSection = [&out](Section& section, const QList<QByteArray>& firstKeys) {
        if (!out.isEmpty())
            out += '\n';
        out += section.header + '\n';
        QList<QByteArray> rest = section.lines;
        for (const QByteArray& key : firstKeys) {
            for (qsizetype i = 0; i < rest.size(); ++i) {
                if (rest[i].startsWith(key + '=')) {
                    out += rest.takeAt(i) + '\n';
                    break;
                }
            }
        }
        for (const QByteArray& line : rest)
            out += line + '\n';
        section.used = true;
    };
    for (int i = 0; i < count;) {
        const QByteArray name(table[i].section);
        QList<QByteArray> keys;
        for (; i < count && name == table[i].section; ++i)
            keys << QByteArray(table[i].key);
        for (Section& section : sections) {
            if (!section.used && section.header == '[' + name + ']') {
                emitSection(section, keys);
                break;
            }
        }
    }
    for (Section& section : sections) {
        if (!section.used)
            emitSection(section, {});
    }
    return out;
}

} // namespace

void AppConfig::resetToDefaults()
{
    Baudrate = QStringLiteral("115200");
    DataBits = QStringLiteral("8");
    ParityBits = QStringLiteral("None");
    StopBits = QStringLiteral("1");
    FlowCtrl = QStringLiteral("None");
    LastPort.clear();
    DtrOn = true;
    RtsOn = true;
    PulseMs = 100;
    BreakMs = 250;
    HexRxMode = false;
    HexBytesPerLine = 32;
    HexDumpColumns = true;
    AutoWrap = false;
    ShowTime = true;
    ShowSend = false;
    TimestampFormat = 0;
    HexTxMode = false;
    MultiLineSend = false;
    RepeatSend = false;
    SendNewLine = false;
    LogWinFont = defaultLogFont();
    LogSavePath = defaultLogSavePath();
    LogFileName = QStringLiteral("log.dat");
    LogHighlight = true;
    LogAnsiColours = true;
    MainWinWidth = 1200;
    MainWinHeight = 800;
    Skin = 5;
    Language = false;
    LuaScriptPath = AppPaths::dataDir() + QStringLiteral("/scripts/general_demo.lua");
    LuaScriptEnabled = false;
    LuaScriptMode = 0;
    UpdateCheckUrl = QString::fromLatin1(kDefaultUpdateCheckUrl);
    AutoCheckUpdate = true;
}

QString AppConfig::filePath()
{
    return AppPaths::userDataDir() + QStringLiteral("/config.ini");
}

void AppConfig::loadConfiguration()
{
    resetToDefaults();
    AppPaths::ensureUserDataDir();
    QSettings s(filePath(), QSettings::IniFormat);
    int count = 0;
    const Entry* table = entries(&count);
    QString open;
    for (int i = 0; i < count; ++i) {
        const QString section = QString::fromLatin1(table[i].section);
        if (section != open) {
            if (!open.isEmpty())
                s.endGroup();
            s.beginGroup(section);
            open = section;
        }
        readEntry(s, table[i]);
    }
    if (!open.isEmpty())
        s.endGroup();
}

bool AppConfig::saveConfiguration()
{
    if (!AppPaths::ensureUserDataDir()) {
        qWarning() << "[config] cannot create" << AppPaths::userDataDir();
        return false;
    }
    int count = 0;
    const Entry* table = entries(&count);

    // QSettings renders the file into a scratch copy (so unknown keys of the
    // old file survive, with its own quoting); the result then replaces
    // config.ini in one step.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString work = scratch.filePath(QStringLiteral("config.ini"));
    QMap<QString, QVariant> foreign; // keys of the old file that are not ours
    if (QFile::exists(filePath())) {
        QSettings old(filePath(), QSettings::IniFormat);
        const QStringList keys = old.allKeys();
        for (const QString& key : keys)
            foreign.insert(key, old.value(key));
        for (int i = 0; i < count; ++i)
            foreign.remove(fullKey(table[i]));
        if (!QFile::copy(filePath(), work))
            return false;
        QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner);
    }
    {
        QSettings s(work, QSettings::IniFormat);
        QString open;
        for (int i = 0; i < count; ++i) {
            const QString section = QString::fromLatin1(table[i].section);
            if (section != open) {
                if (!open.isEmpty())
                    s.endGroup();
                s.beginGroup(section);
                open = section;
            }
            writeEntry(s, table[i]);
        }
        if (!open.isEmpty())
            s.endGroup();
        s.sync();
        // A FormatError only says the old file held garbage; it is replaced anyway.
        if (s.status() == QSettings::AccessError) {
            qWarning() << "[config] cannot render" << work;
            return false;
        }
    }
    // QSettings does not notice a short write (a full disk), and a second
    // QSettings on the same path answers from its cache. So the bytes on disk
    // are read back, reordered, parsed afresh under a new name, and trusted
    // only when every key came through.
    QFile rendered(work);
    if (!rendered.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = inTableOrder(rendered.readAll(), table, count);
    rendered.close();
    const QString verify = scratch.filePath(QStringLiteral("verify.ini"));
    {
        QFile copy(verify);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush())
            return false;
    }
    {
        QSettings check(verify, QSettings::IniFormat);
        for (int i = 0; i < count; ++i) {
            const QVariant stored = check.value(fullKey(table[i]));
            if (!stored.isValid() || !sameValue(table[i], stored)) {
                qWarning() << "[config] rendering incomplete at" << fullKey(table[i]);
                return false;
            }
        }
        for (auto it = foreign.cbegin(); it != foreign.cend(); ++it) {
            // A key whose old value could not be read (a malformed line) has
            // nothing to keep; it must not stop our own settings from saving.
            if (!it.value().isValid())
                continue;
            if (check.value(it.key()) != it.value()) {
                qWarning() << "[config] rendering incomplete at" << it.key();
                return false;
            }
        }
    }
    QSaveFile out(filePath());
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        qWarning() << "[config] cannot write" << filePath() << out.errorString();
        return false;
    }
    return true;
}
