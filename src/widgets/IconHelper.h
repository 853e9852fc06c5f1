#pragma once

#include <QFont>
#include <QString>

// The icon fonts the program's buttons take their glyphs from: Font Awesome
// 7 Free Solid and the Phosphor Light, Regular and Bold weights. A widget
// shows a glyph by taking one of these fonts and the glyph's character as its
// text. The font files sit in resources/font beside the executable (or under
// the working directory); a missing file leaves its font unset, and the
// glyph then falls back to the default font.
class IconHelper
{
public:
    // Code points used by the program, Phosphor unless noted.
    enum Glyph : char32_t
    {
        PhQuestion = 0xE3E8,
        PhPalette = 0xE6C8,
        PhTranslate = 0xE4A2,
        PhMinus = 0xE32A,
        PhSquare = 0xE45E,
        PhCopy = 0xE1CA,
        PhX = 0xE4F6,
        PhGearSix = 0xE272,
        PhListBullets = 0xE2F2,
        PhArrowsDownUp = 0xE098,
        PhChartLine = 0xE154,
        PhCode = 0xE1BC,
        PhBracketsCurly = 0xE860,
        PhWaveSine = 0xEA9A,
        PhFloppyDisk = 0xE248,
        PhTrash = 0xE4A6,
        PhPaperPlaneRight = 0xE396,
        PhSliders = 0xE434,
        PhCheck = 0xE182,
        FaTerminal = 0xF120, // Font Awesome
        FaPlay = 0xF04B,
        FaStop = 0xF04D,
    };

    static IconHelper* instance();

    // The glyph as text for a button or label.
    static QString glyph(char32_t codePoint);

    // Copies of the fonts, at `pixelSize` when it is positive.
    QFont fontAwesome(int pixelSize = 0) const;
    QFont fontAwesomeSmall() const { return fontAwesome(12); }
    QFont phosphor(int pixelSize = 0) const;
    QFont phosphorLight(int pixelSize = 0) const;
    QFont phosphorBold(int pixelSize = 0) const;

    bool hasFontAwesome() const { return m_faLoaded; }
    bool hasPhosphor() const { return m_phLoaded; }
    bool hasPhosphorLight() const { return m_phLightLoaded; }
    bool hasPhosphorBold() const { return m_phBoldLoaded; }

    // Where a font file is looked for: beside the executable first, then
    // under the working directory.
    static QString fontFile(const QString& fileName);

private:
    IconHelper();
    // Registers the file unless the family is known already; returns the
    // family to use, or an empty string.
    static QString loadFamily(const QString& family, const QString& fileName);
    static QFont sized(QFont font, int pixelSize);

    QFont m_fa;
    QFont m_faSmall;
    QFont m_phLight;
    QFont m_ph;
    QFont m_phBold;
    bool m_faLoaded = false;
    bool m_phLightLoaded = false;
    bool m_phLoaded = false;
    bool m_phBoldLoaded = false;
};
