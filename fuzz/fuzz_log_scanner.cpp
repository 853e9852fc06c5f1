// The one-pass log line scanner with the standard rule file on any line:
// spans inside the line, the scan always ends.
#include "FuzzSupport.h"
#include "HighlightRuleSet.h"
#include "LogLineScanner.h"

namespace {
LogLineScanner* scanner = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    static HighlightRuleSet rules;
    if (!HighlightRuleSet::loadFile(QStringLiteral(CORVANE_RULE_FILE), rules))
        __builtin_trap();
    static LogLineScanner s;
    if (!s.configure(rules.rules()))
        __builtin_trap(); // the standard set must switch the scanner on
    scanner = &s;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    // Odd bytes decode as UTF-8, even inputs as raw UTF-16 so surrogates and
    // any code unit reach the scanner.
    QString line;
    if (size % 2)
        line = QString::fromUtf8(input);
    else
        line = QString(reinterpret_cast<const QChar*>(input.constData()), input.size() / 2);
    scanner->scan(line, [&](int start, int length, const QTextCharFormat&) {
        if (start < 0 || length <= 0 || start + length > line.size())
            __builtin_trap();
    });
    for (qsizetype p = 0; p < line.size(); p += 7) {
        const int n = LogLineScanner::timestampLength(line, p);
        if (n < 0 || p + n > line.size())
            __builtin_trap();
    }
    std::array<bool, 256> table{};
    LogLineScanner::parseSymbolClass(line, table);
    return 0;
}
