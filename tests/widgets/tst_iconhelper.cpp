#include "IconHelper.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

class TestIconHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void singleInstance() { QCOMPARE(IconHelper::instance(), IconHelper::instance()); }

    void fontsAreFoundBesideTheExecutable()
    {
        // Started from an unrelated working directory, as a user might.
        QDir::setCurrent(QDir::tempPath());
        QVERIFY(QFileInfo::exists(IconHelper::fontFile(QStringLiteral("Phosphor.ttf"))));
        IconHelper* icons = IconHelper::instance();
        QVERIFY(icons->hasFontAwesome());
        QVERIFY(icons->hasPhosphor());
        QVERIFY(icons->hasPhosphorLight());
        QVERIFY(icons->hasPhosphorBold());
        QCOMPARE(QFontInfo(icons->phosphor()).family(), QStringLiteral("Phosphor"));
        QCOMPARE(QFontInfo(icons->phosphorLight()).family(), QStringLiteral("Phosphor-Light"));
        QCOMPARE(QFontInfo(icons->phosphorBold()).family(), QStringLiteral("Phosphor-Bold"));
        QVERIFY(QFontInfo(icons->fontAwesome()).family().startsWith(QLatin1String("Font Awesome 7 Free")));
    }

    void copiesAreSized()
    {
        IconHelper* icons = IconHelper::instance();
        QCOMPARE(icons->phosphor(20).pixelSize(), 20);
        QCOMPARE(icons->fontAwesomeSmall().pixelSize(), 12);
        // A copy, not the helper's own font.
        QFont f = icons->phosphor(20);
        f.setPixelSize(40);
        QCOMPARE(icons->phosphor(20).pixelSize(), 20);
    }

    void glyphsExistInTheirFonts()
    {
        IconHelper* icons = IconHelper::instance();
        const QFontMetrics ph(icons->phosphor(16));
        for (char32_t g : {IconHelper::PhQuestion, IconHelper::PhPalette, IconHelper::PhTranslate,
                           IconHelper::PhMinus, IconHelper::PhSquare, IconHelper::PhCopy, IconHelper::PhX,
                           IconHelper::PhGearSix, IconHelper::PhListBullets, IconHelper::PhArrowsDownUp,
                           IconHelper::PhChartLine, IconHelper::PhCode, IconHelper::PhBracketsCurly,
                           IconHelper::PhWaveSine, IconHelper::PhFloppyDisk, IconHelper::PhTrash,
                           IconHelper::PhPaperPlaneRight, IconHelper::PhSliders, IconHelper::PhCheck}) {
            QVERIFY2(ph.inFontUcs4(g), qPrintable(QString::number(uint(g), 16)));
            QVERIFY(QFontMetrics(icons->phosphorBold(16)).inFontUcs4(g));
            QVERIFY(QFontMetrics(icons->phosphorLight(16)).inFontUcs4(g));
        }
        QVERIFY(QFontMetrics(icons->fontAwesome(16)).inFontUcs4(IconHelper::FaTerminal));
        QCOMPARE(IconHelper::glyph(IconHelper::PhGearSix), QString(QChar(0xE272)));
        QCOMPARE(IconHelper::glyph(0x1F600).size(), 2); // outside the BMP: a surrogate pair
    }
};

QTEST_MAIN(TestIconHelper)
#include "tst_iconhelper.moc"
