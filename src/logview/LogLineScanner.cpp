#include "LogLineScanner.h"

#include <QLatin1StringView>
#include <QVarLengthArray>

namespace {

using L1 = QLatin1StringView;

const L1 kSendWords[] = {L1("Send"), L1("send"), L1("TX"), L1("Tx")};
const L1 kReceiveWords[] = {L1("Received"), L1("RX"), L1("Rx")};
const L1 kInfoWords[] = {L1("information"), L1("Information"), L1("info"),       L1("Info"),
                         L1("INFO"),        L1("Connection"),  L1("connection"), L1("connect"),
                         L1("Connect"),     L1("connected"),   L1("Connected"),  L1("CONNECT"),
                         L1("CONNECTION")};
const L1 kErrorWords[] = {L1("error"),      L1("Error"),         L1("ERROR"),         L1("failed"),
                          L1("Failed"),     L1("FAILED"),        L1("fail"),          L1("Fail"),
                          L1("FAIL"),       L1("disconnection"), L1("Disconnection"), L1("DISCONNECTION"),
                          L1("disconnect"), L1("disconnected"),  L1("Disconnect"),    L1("Disconnected"),
                          L1("DISCONNECT")};
const L1 kSuccessWords[] = {L1("ok"),           L1("OK"),      L1("Ok"),           L1("true"),
                            L1("True"),         L1("TRUE"),    L1("successfully"), L1("Successfully"),
                            L1("SUCCESSFULLY"), L1("success"), L1("Success"),      L1("SUCCESS")};
const L1 kErrorTags[] = {L1("E"), L1("e"), L1("ERR"), L1("err"), L1("ERROR"), L1("error")};
const L1 kWarningTags[] = {L1("W"), L1("w"), L1("WRN"), L1("wrn"), L1("WARN"), L1("warn")};

inline bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
inline bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
inline bool isWordChar(char16_t c)
{
    return isAsciiLetter(c) || isDigit(c) || c == u'_';
}
inline bool isSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

template <size_t N> int startingWord(QStringView line, qsizetype p, const L1 (&words)[N])
{
    const QStringView rest = line.mid(p);
    for (const L1& w : words) {
        if (rest.startsWith(w))
            return int(w.size());
    }
    return 0;
}

template <size_t N> bool isOneOf(QStringView run, const L1 (&words)[N])
{
    for (const L1& w : words) {
        if (run == w)
            return true;
    }
    return false;
}

// "[" + one of `tags` + "]" at p.
template <size_t N> bool tagAt(QStringView line, qsizetype p, const L1 (&tags)[N], size_t count = N)
{
    for (size_t i = 0; i < count; ++i) {
        const qsizetype end = p + 1 + tags[i].size();
        if (end < line.size() && line.at(end) == u']' && line.mid(p + 1, tags[i].size()) == tags[i])
            return true;
    }
    return false;
}

} // namespace

QString LogLineScanner::timestampPattern()
{
    return QStringLiteral(R"(\[\d{4}-\d{2}-\d{2} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]+\s*\])");
}

bool LogLineScanner::configure(const QList<HighlightRule>& rules)
{
    const QString ts = timestampPattern();
    const QString send = QStringLiteral("(Send|send|TX|Tx)");
    const QString receive = QStringLiteral("(Received|RX|Rx)");
    const QString info = QStringLiteral(
        R"(\b(information|Information|info|Info|INFO|Connection|connection|connect|Connect|connected|Connected|CONNECT|CONNECTION)\b)");
    const QString error = QStringLiteral(
        R"(\b(error|Error|ERROR|failed|Failed|FAILED|fail|Fail|FAIL|disconnection|Disconnection|DISCONNECTION|disconnect|disconnected|Disconnect|Disconnected|DISCONNECT)\b)");
    const QString success = QStringLiteral(
        R"(\b(ok|OK|Ok|true|True|TRUE|successfully|Successfully|SUCCESSFULLY|success|Success|SUCCESS)\b)");
    const QString successAlt = QStringLiteral(
        R"(\b(ok|OK||Ok|true|True|TRUE|successfully|Successfully|SUCCESSFULLY|success|Success|SUCCESS)\b)");
    const QString number = QStringLiteral(R"([0-9]{2,}|\b[0-9]+\b)");
    const QString option = QStringLiteral(R"(\s+-[A-Za-z_][A-Za-z_0-9]*)");
    const QString errorLine = QStringLiteral(R"(\[(E|e|ERR|err|ERROR|error)\].*)");
    const QString warning1 = QStringLiteral(R"(\[(W|w|WRN|wrn|WARN|warn)\].*)");
    const QString warning0 = QStringLiteral(R"(\[(W|w|WRN|wrn|WARN|WARN)\].*)");

    m_found.fill(false);
    m_formats.fill(QTextCharFormat());
    m_nonSymbol.fill(false);
    m_enabled = false;
    for (const HighlightRule& rule : rules) {
        const QString p = rule.pattern.pattern();
        auto assign = [&](Role role) {
            m_formats[role] = rule.format;
            m_found[role] = true;
        };
        if (p == ts)
            assign(Timestamp);
        else if (p == ts + QStringLiteral(R"(\KR)") || p == QStringLiteral(R"((?<=\])R)"))
            assign(ReceiveMark);
        else if (p == ts + QStringLiteral(R"(\KT)") || p == QStringLiteral(R"((?<=\])T)"))
            assign(TransmitMark);
        else if (p == send)
            assign(SendWord);
        else if (p == receive)
            assign(ReceiveWord);
        else if (p == info)
            assign(InfoWord);
        else if (p == error)
            assign(ErrorWord);
        else if (p == success || p == successAlt)
            assign(SuccessWord);
        else if (p == number)
            assign(Number);
        else if (p == option)
            assign(Option);
        else if (p == errorLine)
            assign(ErrorLine);
        else if (p == warning1) {
            assign(WarningLine);
            m_warningForm = 1;
        } else if (p == warning0) {
            assign(WarningLine);
            m_warningForm = 0;
        } else {
            std::array<bool, 256> table{};
            if (parseSymbolClass(p, table)) {
                m_nonSymbol = table;
                assign(SymbolRun);
            }
        }
    }
    m_enabled = true;
    for (bool found : m_found)
        m_enabled = m_enabled && found;
    return m_enabled;
}

bool LogLineScanner::parseSymbolClass(const QString& pattern, std::array<bool, 256>& table)
{
    if (!pattern.startsWith(QLatin1String("[^")) || !pattern.endsWith(QLatin1String("]+")) ||
        pattern.size() < 4)
        return false;
    const QStringView cls = QStringView(pattern).mid(2, pattern.size() - 4);
    table.fill(false);
    const qsizetype n = cls.size();
    qsizetype i = 0;
    // Reads one class character at i (a backslash escapes the next one).
    auto readChar = [&](qsizetype& at, char16_t& out) {
        if (cls.at(at) == u'\\') {
            if (at + 1 >= n)
                return false;
            ++at;
        }
        out = cls.at(at).unicode();
        ++at;
        return true;
    };
    while (i < n) {
        char16_t lo = 0;
        if (!readChar(i, lo))
            return false;
        if (i + 1 < n && cls.at(i) == u'-') {
            qsizetype j = i + 1;
            char16_t hi = 0;
            if (!readChar(j, hi))
                return false;
            if (hi > 255 || lo > hi)
                return false;
            for (char16_t c = lo; c <= hi; ++c)
                table[c] = true;
            i = j;
            continue;
        }
        if (lo < 256)
            table[lo] = true;
    }
    return true;
}

int LogLineScanner::timestampLength(QStringView s, qsizetype p)
{
    const qsizetype n = s.size();
    if (p < 0 || n - p < 23)
        return 0;
    auto d = [&](qsizetype i) { return isDigit(s.at(p + i).unicode()); };
    auto in = [&](qsizetype i, char16_t lo, char16_t hi) {
        const char16_t c = s.at(p + i).unicode();
        return c >= lo && c <= hi;
    };
    auto is = [&](qsizetype i, char16_t c) { return s.at(p + i).unicode() == c; };
    if (!(is(0, u'[') && d(1) && d(2) && d(3) && d(4) && is(5, u'-') && d(6) && d(7) && is(8, u'-') && d(9) &&
          d(10) && is(11, u' ') && in(12, u'0', u'2') && d(13) && is(14, u':') && in(15, u'0', u'5') &&
          d(16) && is(17, u':') && in(18, u'0', u'5') && d(19) && is(20, u'.')))
        return 0;
    qsizetype i = p + 21;
    while (i < n && isDigit(s.at(i).unicode()))
        ++i;
    if (i == p + 21)
        return 0;
    while (i < n && isSpace(s.at(i).unicode()))
        ++i;
    if (i < n && s.at(i) == u']')
        return int(i - p + 1);
    return 0;
}

qsizetype LogLineScanner::optionEnd(QStringView line, qsizetype p)
{
    const qsizetype n = line.size();
    qsizetype i = p;
    while (i < n && isSpace(line.at(i).unicode()))
        ++i;
    if (i == p || i + 1 >= n || line.at(i) != u'-')
        return 0;
    const char16_t first = line.at(i + 1).unicode();
    if (!isAsciiLetter(first) && first != u'_')
        return 0;
    i += 2;
    while (i < n && isWordChar(line.at(i).unicode()))
        ++i;
    return i;
}

void LogLineScanner::scan(QStringView line, const FormatSink& sink) const
{
    const qsizetype n = line.size();
    qsizetype b = 0;
    if (n > 26 && timestampLength(line, 0) == 25) {
        const char16_t mark = line.at(25).unicode();
        if (mark == u'R' || mark == u'T') {
            sink(0, 25, m_formats[Timestamp]);
            sink(25, 1, m_formats[mark == u'R' ? ReceiveMark : TransmitMark]);
            b = 26;
        }
    }
    qsizetype errorStart = -1;
    qsizetype warningStart = -1;
    QVarLengthArray<std::pair<qsizetype, int>, 4> stamps;
    const size_t warningTags = m_warningForm == 1 ? 6 : 5;

    while (b < n) {
        const char16_t c = line.at(b).unicode();
        if (isSpace(c)) {
            const qsizetype end = optionEnd(line, b);
            if (end > 0) {
                sink(int(b), int(end - b), m_formats[Option]);
                b = end;
                continue;
            }
        }
        if (isAsciiLetter(c)) {
            if (const int len = startingWord(line, b, kSendWords)) {
                sink(int(b), len, m_formats[SendWord]);
                b += len;
                continue;
            }
            if (const int len = startingWord(line, b, kReceiveWords)) {
                sink(int(b), len, m_formats[ReceiveWord]);
                b += len;
                continue;
            }
            // Inside a longer word: only send and receive words are found there.
            if (b > 0 && isWordChar(line.at(b - 1).unicode())) {
                ++b;
                continue;
            }
            qsizetype end = b + 1;
            while (end < n && isAsciiLetter(line.at(end).unicode()))
                ++end;
            if (end >= n || !isWordChar(line.at(end).unicode())) {
                const QStringView run = line.mid(b, end - b);
                int role = -1;
                if (isOneOf(run, kInfoWords))
                    role = InfoWord;
                else if (isOneOf(run, kErrorWords))
                    role = ErrorWord;
                else if (isOneOf(run, kSuccessWords))
                    role = SuccessWord;
                if (role >= 0) {
                    sink(int(b), int(end - b), m_formats[role]);
                    b = end;
                    continue;
                }
            }
            ++b;
            continue;
        }
        if (isDigit(c)) {
            qsizetype end = b + 1;
            while (end < n && isDigit(line.at(end).unicode()))
                ++end;
            const bool alone = (b == 0 || !isWordChar(line.at(b - 1).unicode())) &&
                               (end >= n || !isWordChar(line.at(end).unicode()));
            if (end - b > 1 || alone)
                sink(int(b), int(end - b), m_formats[Number]);
            b = end;
            continue;
        }
        if (c == u'[') {
            if (const int len = timestampLength(line, b)) {
                stamps.append({b, len});
                b += len;
                continue;
            }
            if (errorStart < 0 && tagAt(line, b, kErrorTags))
                errorStart = b;
            if (warningStart < 0 && tagAt(line, b, kWarningTags, warningTags))
                warningStart = b;
        }
        // A run of symbol characters. It ends before a "[" (which may open a
        // timestamp or a tag) and before white space that opens an option, so
        // that both are seen at the start of a step.
        qsizetype end = b;
        while (end < n) {
            const char16_t e = line.at(end).unicode();
            if (isNonSymbol(e) || (e == u'[' && end > b))
                break;
            if (isSpace(e)) {
                qsizetype wsEnd = end;
                while (wsEnd < n && isSpace(line.at(wsEnd).unicode()) &&
                       !isNonSymbol(line.at(wsEnd).unicode()))
                    ++wsEnd;
                if (end > b && optionEnd(line, end) > 0)
                    break;
                if (wsEnd == end)
                    break;
                end = wsEnd;
                continue;
            }
            ++end;
        }
        if (end > b)
            sink(int(b), int(end - b), m_formats[SymbolRun]);
        b = qMax(end, b + 1);
    }

    if (errorStart >= 0)
        sink(int(errorStart), int(n - errorStart), m_formats[ErrorLine]);
    if (warningStart >= 0)
        sink(int(warningStart), int(n - warningStart), m_formats[WarningLine]);
    for (const auto& [start, len] : stamps)
        sink(int(start), len, m_formats[Timestamp]);
}
