#pragma once

#include <QString>

// Version texts of release manifests: an optional "v", up to three numbers
// (major.minor.patch) and an optional "-suffix", e.g. "v5.7", "5.6-rc1".
class UpdateVersion
{
public:
    // True when `a` names a newer release than `b`. Texts that are not
    // versions are never newer. A release is newer than a pre-release of the
    // same numbers; two pre-release suffixes compare as case-insensitive text
    // ("beta10" sorts before "beta9").
    static bool isNewer(const QString& a, const QString& b);
};
