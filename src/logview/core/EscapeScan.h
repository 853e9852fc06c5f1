#pragma once

#include <QStringView>

// The two escape-sequence shapes the log view must find whole, shared by the
// colour parser and the colours-off filter: a control sequence (ESC [ ...
// final byte) and a string sequence (ESC ] title BEL or ESC \). Both scanners
// start just past the two introducer characters.
namespace EscapeScan {

enum class Result
{
    Complete,   // `*end` is one past the sequence
    Incomplete, // the text ends inside it: wait for more
    Broken,     // not a well-formed sequence
};

constexpr char16_t kEsc = 0x1B;
constexpr char16_t kBel = 0x07;

// Parameter bytes, then intermediate bytes, then one final byte. `*paramEnd`
// is one past the parameters.
inline Result controlSequence(QStringView text, qsizetype i, qsizetype* paramEnd, qsizetype* end)
{
    const qsizetype n = text.size();
    while (i < n && text.at(i).unicode() >= 0x30 && text.at(i).unicode() <= 0x3F)
        ++i;
    *paramEnd = i;
    while (i < n && text.at(i).unicode() >= 0x20 && text.at(i).unicode() <= 0x2F)
        ++i;
    if (i >= n)
        return Result::Incomplete;
    const char16_t final = text.at(i).unicode();
    if (final < 0x40 || final > 0x7E)
        return Result::Broken;
    *end = i + 1;
    return Result::Complete;
}

// Text up to BEL or ESC \. A title never spans lines: a line end means this
// was none.
inline Result stringSequence(QStringView text, qsizetype i, qsizetype* end)
{
    const qsizetype n = text.size();
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == kBel) {
            *end = i + 1;
            return Result::Complete;
        }
        if (c == kEsc) {
            if (i + 1 >= n)
                return Result::Incomplete;
            if (text.at(i + 1) != QLatin1Char('\\'))
                return Result::Broken;
            *end = i + 2;
            return Result::Complete;
        }
        if (c == u'\n' || c == u'\r')
            return Result::Broken;
    }
    return Result::Incomplete;
}

} // namespace EscapeScan
