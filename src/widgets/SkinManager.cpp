#include "SkinManager.h"

#include "CDialog.h"
#include "StyleWatcher.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QStyle>
#include <QWidget>

namespace {
const char* const kSheets[SkinManager::kSkinCount] = {
    ":/style/LabBench.qss",  ":/style/DarkStyle.qss",    ":/style/DarkPurple.qss",
    ":/style/DarkGreen.qss", ":/style/WarmTerminal.qss", ":/style/MidnightSignal.qss",
    ":/style/ForestLab.qss",
};
constexpr int kFallbackSkin = 2;
} // namespace

SkinManager::SkinManager(QObject* parent) : QObject(parent) {}

SkinManager* SkinManager::instance()
{
    static SkinManager* manager = new SkinManager(QCoreApplication::instance());
    return manager;
}

QString SkinManager::styleSheetPath(int skinType)
{
    if (skinType < 0 || skinType >= kSkinCount)
        skinType = kFallbackSkin;
    return QString::fromLatin1(kSheets[skinType]);
}

void SkinManager::setSkin(int skinType)
{
    if (skinType == m_current)
        return;
    m_current = skinType;
    loadStyle(styleSheetPath(skinType));
    StyleWatcher::instance()->notifySkinChanged(skinType);
}

bool SkinManager::loadStyle(const QString& path)
{
    QString sheet = m_cache.value(path);
    if (sheet.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            qWarning().noquote() << "[SkinManager] cannot read style sheet" << path;
            CDialog::showMessage(nullptr, tr("Warning"), tr("Style File load failed..."));
            return false;
        }
        sheet = QString::fromUtf8(file.readAll());
        file.close();
        ++m_fileReads;
        m_cache.insert(path, sheet);
    }

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    // Widgets that keep style-derived state of their own must drop it before
    // the sheet changes and pick the new one up afterwards, or they keep
    // showing the old theme until they happen to be re-polished.
    QStyle* style = QApplication::style();
    style->unpolish(app);
    for (const QPointer<QWidget>& w : std::as_const(m_widgets)) {
        if (w)
            w->style()->unpolish(w);
    }
    app->setStyleSheet(sheet);
    for (const QPointer<QWidget>& w : std::as_const(m_widgets)) {
        if (w)
            w->style()->polish(w);
    }
    QApplication::style()->polish(app);
    return true;
}

void SkinManager::registerWidget(QWidget* widget)
{
    if (!widget)
        return;
    m_widgets.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget>& w : std::as_const(m_widgets)) {
        if (w == widget)
            return;
    }
    m_widgets.append(widget);
}

int SkinManager::registeredCount() const
{
    int n = 0;
    for (const QPointer<QWidget>& w : m_widgets)
        n += w ? 1 : 0;
    return n;
}
