// Highlight rule files: any JSON, then the loaded rules applied to a line made
// from the same bytes; every coloured span must lie inside the line.
#include "FuzzSupport.h"
#include "HighlightRuleSet.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    HighlightRuleSet set;
    QString error;
    if (!HighlightRuleSet::parse(input, set, &error)) {
        if (error.isEmpty())
            __builtin_trap(); // a refused file says why
        return 0;
    }
    // Short lines keep a pathological pattern from timing the run out.
    const QString line = QString::fromUtf8(input.right(200));
    set.applyRules(line, [&](int start, int length, const QTextCharFormat&) {
        if (start < 0 || length < 0 || start + length > line.size())
            __builtin_trap();
    });
    if (set.blockCommentEnabled()) {
        if (set.commentBegin().match(line).capturedEnd() > line.size() ||
            set.commentEnd().match(line).capturedEnd() > line.size())
            __builtin_trap();
    }
    return 0;
}
