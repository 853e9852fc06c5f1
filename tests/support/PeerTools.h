#pragma once

#include <QByteArray>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

// Tests against real peers (lrzsz, socat). Without the programs such a test
// is skipped on a developer's machine, but fails in CI (environment variable
// CI set): the setup script installs them there, and a skip would hide a
// broken install behind a green run.
namespace PeerTools {

inline QStringList missing(const QStringList& programs)
{
    QStringList absent;
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            absent << program;
    }
    return absent;
}

inline bool failInsteadOfSkip()
{
    return qEnvironmentVariableIsSet("CI");
}

inline QByteArray missingText(const QStringList& absent)
{
    return "test peer not installed: " + absent.join(QStringLiteral(", ")).toUtf8();
}

} // namespace PeerTools

// Use inside a test function (or initTestCase): returns from it with a skip,
// or with a failure under CI, when one of the programs is not installed.
#define REQUIRE_PEERS(...)                                                                                   \
    do {                                                                                                     \
        const QStringList peersMissing_ = PeerTools::missing(QStringList{__VA_ARGS__});                      \
        if (!peersMissing_.isEmpty()) {                                                                      \
            const QByteArray peersWhy_ = PeerTools::missingText(peersMissing_);                              \
            if (PeerTools::failInsteadOfSkip())                                                              \
                QFAIL(peersWhy_.constData());                                                                \
            QSKIP(peersWhy_.constData());                                                                    \
        }                                                                                                    \
    } while (false)
