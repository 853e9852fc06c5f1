#include "WaveformCsvParser.h"

#include "SaturatedInt64.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr qsizetype kBlockBytes = 1 << 20;
// Timestamps beyond this many ns do not fit in qint64 (the limit is about
// 9.22e18); such lines are skipped rather than converted.
constexpr double kMaxAbsNs = 9.2e18;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Hands out the lines of a file one by one from a fixed-size block buffer.
// A line longer than WaveformCsvParser::kMaxLineBytes is cut there and the
// rest of it skipped, so a file without line feeds cannot fill the memory.
class LineReader
{
public:
    explicit LineReader(QFile& file) : m_file(file) { m_buf.resize(kBlockBytes); }

    // False at the end of the file or on a read error. The line has no line
    // feed and no carriage return before it.
    bool next(std::string_view& line)
    {
        m_long.clear();
        bool cut = false;
        for (;;) {
            const char* begin = m_buf.constData() + m_pos;
            const char* nl = static_cast<const char*>(std::memchr(begin, '\n', size_t(m_len - m_pos)));
            if (nl) {
                const qsizetype n = nl - begin;
                m_pos += n + 1;
                m_consumed += n + 1;
                if (m_long.empty() && !cut) {
                    line = std::string_view(begin, size_t(n)); // the usual case: no copy
                    break;
                }
                if (!cut)
                    appendLong(begin, n);
                line = m_long;
                break;
            }
            // No line feed in what is buffered: keep the piece, read on.
            if (!cut)
                appendLong(begin, m_len - m_pos);
            m_consumed += m_len - m_pos;
            m_pos = m_len = 0;
            if (qsizetype(m_long.size()) >= WaveformCsvParser::kMaxLineBytes)
                cut = true;
            const qint64 got = m_file.read(m_buf.data(), m_buf.size());
            if (got < 0)
                m_failed = true;
            if (got <= 0) {
                if (m_long.empty())
                    return false;
                line = m_long; // the last line has no line feed
                break;
            }
            m_len = got;
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }

    qint64 position() const { return m_consumed; }
    // A read failed: the file ended early, not at its end.
    bool failed() const { return m_failed; }

private:
    void appendLong(const char* p, qsizetype n)
    {
        const qsizetype room = WaveformCsvParser::kMaxLineBytes - qsizetype(m_long.size());
        if (room > 0)
            m_long.append(p, size_t(std::min(room, n)));
    }

    QFile& m_file;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qsizetype m_len = 0;
    qint64 m_consumed = 0;
    std::string m_long;
    bool m_failed = false;
};

} // namespace

int WaveformCsvParser::splitFields(std::string_view line, std::string_view* fields, int maxFields,
                                   std::string& scratch)
{
    scratch.clear();
    scratch.reserve(line.size()); // views into scratch must not move
    int count = 0;
    size_t i = 0;
    const size_t n = line.size();
    while (count < maxFields) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i < n && line[i] == '"') {
            // Quoted: up to the closing quote, "" stands for one quote.
            ++i;
            const size_t start = scratch.size();
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        scratch.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                scratch.push_back(line[i++]);
            }
            fields[count++] = std::string_view(scratch.data() + start, scratch.size() - start);
            while (i < n && line[i] != ',') // text after the closing quote is dropped
                ++i;
        } else {
            const size_t start = i;
            while (i < n && line[i] != ',')
                ++i;
            fields[count++] = trimmed(line.substr(start, i - start));
        }
        if (i >= n)
            break;
        ++i; // the comma
    }
    return count;
}

bool WaveformCsvParser::parseNumber(std::string_view field, double& out)
{
    field = trimmed(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty())
        return false;
    const char* end = field.data() + field.size();
    const auto r = std::from_chars(field.data(), end, out, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == end;
}

CsvReplayHeader WaveformCsvParser::parseHeader(QByteArrayView line)
{
    CsvReplayHeader h;
    std::string_view text(line.data(), size_t(line.size()));
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0)
        text.remove_prefix(3);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (trimmed(text).empty()) {
        h.errorMessage = tr("The file is empty.");
        return h;
    }
    std::string_view fields[kMaxColumns + 1];
    std::string scratch;
    const int count = splitFields(text, fields, kMaxColumns + 1, scratch);
    if (count < 2) {
        h.errorMessage = tr("The first line must name the time column and at least one channel.");
        return h;
    }
    const QString first = QString::fromUtf8(fields[0].data(), qsizetype(fields[0].size()));
    qsizetype at = first.indexOf(QLatin1String("Timestamp("));
    if (at < 0)
        at = first.indexOf(QLatin1String("Time("));
    if (at < 0) {
        h.errorMessage =
            tr("The first column must be a time column such as \"Timestamp(ns)\" or \"Time(ms)\".");
        return h;
    }
    const qsizetype open = first.indexOf(QLatin1Char('('));
    const qsizetype close = first.indexOf(QLatin1Char(')'), open + 1);
    if (close > open) // "Time(ms" names no unit
        h.unit = first.mid(open + 1, close - open - 1);
    if (h.unit == QLatin1String("ns")) {
        h.unitFactor = 1.0;
        h.unitsPerSecond = 1e9;
    } else if (h.unit == QLatin1String("us")) {
        h.unitFactor = 1e3;
        h.unitsPerSecond = 1e6;
    } else if (h.unit == QLatin1String("ms")) {
        h.unitFactor = 1e6;
        h.unitsPerSecond = 1e3;
    } else if (h.unit == QLatin1String("s") || h.unit == QLatin1String("second")) {
        h.unitFactor = 1e9;
        h.unitsPerSecond = 1.0;
    } else {
        h.errorMessage = tr("Unknown time unit \"%1\" in the first column: use ns, us, ms or s.").arg(h.unit);
        return h;
    }
    for (int i = 1; i < count; ++i)
        h.columnNames.append(QString::fromUtf8(fields[i].data(), qsizetype(fields[i].size())).trimmed());
    h.ok = true;
    return h;
}

CsvReplayHeader WaveformCsvParser::readHeader(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        CsvReplayHeader h;
        h.errorMessage = tr("Failed to open file:\n%1").arg(fileName);
        return h;
    }
    LineReader reader(file);
    std::string_view line;
    if (!reader.next(line))
        line = {};
    return parseHeader(QByteArrayView(line.data(), qsizetype(line.size())));
}

void WaveformCsvParser::run(QPromise<CsvParseResult>& promise, const QString& fileName, double unitFactor,
                            double unitsPerSecond, int columnCount, double currentRate, qint64 fileSize)
{
    Q_UNUSED(unitsPerSecond) // timestamps are compared in ns after the unit factor
    const int n = std::clamp(columnCount, 0, int(kMaxColumns));
    CsvParseResult result;
    result.sampleRate = currentRate;
    for (int i = 0; i < n; ++i) {
        result.columns.append(QVector<WaveformSample>());
        result.minimums.append(0.0);
        result.maximums.append(0.0);
    }

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorMessage = tr("Failed to open file:\n%1").arg(fileName);
        promise.addResult(result);
        return;
    }

    promise.setProgressRange(0, 100);
    LineReader reader(file);
    std::string_view line;
    reader.next(line); // header

    std::string_view fields[kMaxColumns + 1];
    std::string scratch;
    // The times of lines that kept a sample, for the sample rate.
    std::vector<qint64> lineTimes;
    int lastPercent = -1;
    quint64 lineNo = 0;

    while (reader.next(line)) {
        if ((++lineNo & 255) == 0 && promise.isCanceled())
            return;
        if (line.empty())
            continue;
        const int count = splitFields(line, fields, n + 1, scratch);
        if (count < 2)
            continue;
        double time = 0.0;
        if (!parseNumber(fields[0], time))
            continue;
        time *= unitFactor;
        if (!std::isfinite(time) || std::fabs(time) >= kMaxAbsNs)
            continue;
        const qint64 t = qint64(time);

        bool kept = false;
        for (int i = 1; i < count && i - 1 < n; ++i) {
            if (fields[i].empty())
                continue;
            double v = 0.0;
            if (!parseNumber(fields[i], v) || !std::isfinite(v))
                v = 0.0;
            QVector<WaveformSample>& col = result.columns[i - 1];
            if (col.isEmpty()) {
                result.minimums[i - 1] = result.maximums[i - 1] = v;
            } else if (v < result.minimums[i - 1]) {
                result.minimums[i - 1] = v;
            } else if (v > result.maximums[i - 1]) {
                result.maximums[i - 1] = v;
            }
            col.append(WaveformSample{t, v});
            if (!result.hasTimestamps) {
                result.hasTimestamps = true;
                result.firstTimestamp = result.lastTimestamp = t;
            } else {
                result.firstTimestamp = std::min(result.firstTimestamp, t);
                result.lastTimestamp = std::max(result.lastTimestamp, t);
            }
            kept = true;
        }
        if (kept)
            lineTimes.push_back(t);

        if (fileSize > 0) {
            const int percent = int(std::min<qint64>(100, reader.position() * 100 / fileSize));
            if (percent != lastPercent) {
                lastPercent = percent;
                promise.setProgressValue(percent);
            }
        }
    }
    if (promise.isCanceled())
        return;
    if (reader.failed()) {
        // Half a file is not the file: say so instead of showing a part.
        result.errorMessage = tr("Failed to read file:\n%1\n%2").arg(fileName, file.errorString());
        promise.addResult(result);
        return;
    }

    // The store's searches need each channel in time order.
    const auto byTime = [](const WaveformSample& a, const WaveformSample& b) {
        return a.timestamp < b.timestamp;
    };
    for (QVector<WaveformSample>& col : result.columns) {
        if (!std::is_sorted(col.cbegin(), col.cend(), byTime))
            std::stable_sort(col.begin(), col.end(), byTime);
    }

    // Median of the positive spacings: robust against gaps and jitter.
    if (!std::is_sorted(lineTimes.begin(), lineTimes.end()))
        std::sort(lineTimes.begin(), lineTimes.end());
    size_t spacings = 0;
    for (size_t i = 1; i < lineTimes.size(); ++i) {
        const qint64 d = saturatedSub(lineTimes[i], lineTimes[i - 1]);
        if (d > 0)
            lineTimes[spacings++] = d;
    }
    if (spacings > 0) {
        const auto mid = lineTimes.begin() + qsizetype(spacings / 2);
        std::nth_element(lineTimes.begin(), mid, lineTimes.begin() + qsizetype(spacings));
        result.sampleRate = 1e9 / double(*mid);
    }

    promise.setProgressValue(100);
    promise.addResult(result);
}

QFuture<CsvParseResult> WaveformCsvParser::start(const QString& fileName, double unitFactor,
                                                 double unitsPerSecond, int columnCount, double currentRate,
                                                 qint64 fileSize)
{
    return QtConcurrent::run(&WaveformCsvParser::run, fileName, unitFactor, unitsPerSecond, columnCount,
                             currentRate, fileSize);
}
