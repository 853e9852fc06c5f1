// The theme sheets are generated from one template and a palette per theme:
// every colour the template names must come from every palette, and no
// compiled-in sheet may keep a token the generator could not replace.
#include "SkinManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

const QRegularExpression kToken(QStringLiteral("@([a-z][a-z0-9-]*)"));

QString readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString paletteDir()
{
    return QStringLiteral(STYLE_SOURCE_DIR "/palettes");
}

QSet<QString> templateTokens()
{
    QSet<QString> tokens;
    // The opening comment explains the tokens; the generator replaces it.
    const QString text = readAll(QStringLiteral(STYLE_SOURCE_DIR "/template.qss"));
    const int body = text.indexOf(QLatin1String("*/"));
    for (const QRegularExpressionMatch& m : kToken.globalMatch(text.mid(body < 0 ? 0 : body + 2)))
        tokens.insert(m.captured(1));
    return tokens;
}

// Names defined after the palette's opening comment, as "name: value;".
QSet<QString> paletteNames(const QString& text)
{
    static const QRegularExpression entry(QStringLiteral("^\\s*([a-z][a-z0-9-]*)\\s*:\\s*[^;\\s][^;]*;"),
                                          QRegularExpression::MultilineOption);
    QSet<QString> names;
    const int body = text.indexOf(QLatin1String("*/"));
    for (const QRegularExpressionMatch& m : entry.globalMatch(text.mid(body < 0 ? 0 : body + 2)))
        names.insert(m.captured(1));
    return names;
}

QString openingComment(const QString& text)
{
    const int end = text.indexOf(QLatin1String("*/"));
    return end < 0 ? QString() : text.left(end + 2);
}

} // namespace

class TestStyleSheets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void templateUsesTokens()
    {
        // Guards the other checks against reading an empty or moved template.
        QVERIFY(templateTokens().size() > 20);
    }

    void everyThemeHasAPalette()
    {
        for (int skin = 0; skin < SkinManager::kSkinCount; ++skin) {
            const QString theme = QFileInfo(SkinManager::styleSheetPath(skin)).completeBaseName();
            QVERIFY2(QFileInfo::exists(paletteDir() + QLatin1Char('/') + theme + QLatin1String(".palette")),
                     qPrintable(theme));
        }
    }

    void paletteMatchesTemplate_data()
    {
        QTest::addColumn<QString>("path");
        const QFileInfoList palettes =
            QDir(paletteDir()).entryInfoList({QStringLiteral("*.palette")}, QDir::Files, QDir::Name);
        QCOMPARE(palettes.size(), int(SkinManager::kSkinCount));
        for (const QFileInfo& info : palettes)
            QTest::newRow(qPrintable(info.completeBaseName())) << info.filePath();
    }

    void paletteMatchesTemplate()
    {
        QFETCH(QString, path);
        const QSet<QString> used = templateTokens();
        const QSet<QString> defined = paletteNames(readAll(path));
        QStringList missing = (used - defined).values();
        QStringList unused = (defined - used).values();
        missing.sort();
        unused.sort();
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("not defined: ") + missing.join(QLatin1Char(' '))));
        QVERIFY2(unused.isEmpty(), qPrintable(QStringLiteral("not used: ") + unused.join(QLatin1Char(' '))));
    }

    void generatedSheetHasNoToken_data()
    {
        QTest::addColumn<int>("skin");
        for (int skin = 0; skin < SkinManager::kSkinCount; ++skin)
            QTest::newRow(qPrintable(SkinManager::styleSheetPath(skin))) << skin;
    }

    void generatedSheetHasNoToken()
    {
        QFETCH(int, skin);
        const QString sheetPath = SkinManager::styleSheetPath(skin);
        const QString sheet = readAll(sheetPath);
        QVERIFY2(!sheet.isEmpty(), qPrintable(sheetPath));
        const QRegularExpressionMatch left = kToken.match(sheet);
        QVERIFY2(!left.hasMatch(), qPrintable(QStringLiteral("unreplaced %1").arg(left.captured(0))));
        // The sheet opens with its palette's comment, which names the theme.
        const QString theme = QFileInfo(sheetPath).completeBaseName();
        const QString palette = readAll(paletteDir() + QLatin1Char('/') + theme + QLatin1String(".palette"));
        QVERIFY(!openingComment(palette).isEmpty());
        QVERIFY(sheet.startsWith(openingComment(palette)));
    }
};

QTEST_GUILESS_MAIN(TestStyleSheets)
#include "tst_stylesheets.moc"
