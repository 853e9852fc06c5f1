#include "IconHelper.h"

#include "AppPaths.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMutex>
#include <QMutexLocker>

namespace {
const char kFaFamily[] = "Font Awesome 7 Free Solid";
const char kFaFile[] = "Font Awesome 7 Free-Solid-900.otf";
const char kPhLightFile[] = "Phosphor-Light.ttf";
const char kPhFile[] = "Phosphor.ttf";
const char kPhBoldFile[] = "Phosphor-Bold.ttf";
} // namespace

IconHelper* IconHelper::instance()
{
    static QMutex mutex;
    static IconHelper* helper = nullptr;
    QMutexLocker lock(&mutex);
    if (!helper)
        helper = new IconHelper;
    return helper;
}

QString IconHelper::glyph(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1);
}

QString IconHelper::fontFile(const QString& fileName)
{
    const QString beside = AppPaths::dataPath(QStringLiteral("resources/font/") + fileName);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::currentPath() + QStringLiteral("/resources/font/") + fileName;
}

QString IconHelper::loadFamily(const QString& family, const QString& fileName)
{
    if (QFontDatabase::hasFamily(family))
        return family;
    const int id = QFontDatabase::addApplicationFont(fontFile(fileName));
    if (id < 0)
        return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return QString();
    // Font Awesome names itself "Font Awesome 7 Free" with the style "Solid";
    // take the exact name when the database lists it.
    return families.contains(family) ? family : families.first();
}

IconHelper::IconHelper()
{
    const QString fa = loadFamily(QLatin1String(kFaFamily), QLatin1String(kFaFile));
    if (!fa.isEmpty()) {
        m_fa = QFont(fa);
        m_fa.setStyleName(QStringLiteral("Solid"));
        m_fa.setPixelSize(15);
        m_faSmall = m_fa;
        m_faSmall.setPixelSize(12);
        m_faLoaded = true;
    }

    const QString light = loadFamily(QStringLiteral("Phosphor-Light"), QLatin1String(kPhLightFile));
    if (!light.isEmpty()) {
        m_phLight = QFont(light);
        m_phLight.setPixelSize(16);
        m_phLightLoaded = true;
    }

    if (QFontDatabase::hasFamily(QStringLiteral("Phosphor"))) {
        qDebug().noquote() << "Phosphor font exist!!";
        m_ph = QFont(QStringLiteral("Phosphor"));
        m_phLoaded = true;
    } else {
        const QString regular = loadFamily(QStringLiteral("Phosphor"), QLatin1String(kPhFile));
        if (regular.isEmpty()) {
            qDebug().noquote() << "add Phosphor font failed!!";
        } else {
            m_ph = QFont(regular);
            m_phLoaded = true;
        }
    }
    if (m_phLoaded)
        m_ph.setPixelSize(16);

    const QString bold = loadFamily(QStringLiteral("Phosphor-Bold"), QLatin1String(kPhBoldFile));
    if (!bold.isEmpty()) {
        m_phBold = QFont(bold);
        m_phBold.setPixelSize(16);
        m_phBoldLoaded = true;
    }
}

QFont IconHelper::sized(QFont font, int pixelSize)
{
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

QFont IconHelper::fontAwesome(int pixelSize) const
{
    return sized(m_fa, pixelSize);
}

QFont IconHelper::phosphor(int pixelSize) const
{
    return sized(m_ph, pixelSize);
}

QFont IconHelper::phosphorLight(int pixelSize) const
{
    return sized(m_phLight, pixelSize);
}

QFont IconHelper::phosphorBold(int pixelSize) const
{
    return sized(m_phBold, pixelSize);
}
