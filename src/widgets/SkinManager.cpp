#include "SkinManager.h"

#include "CDialog.h"
#include "StyleWatcher.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
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
    repolishComboPopups();
    return true;
}

void SkinManager::repolishComboPopups()
{
    // A combo box's drop-down list is a window of its own that keeps the
    // palette the previous sheet gave it: after a dark -> light switch its
    // items would stay light-on-dark. Every list that exists gets the new
    // sheet's look here, shown or not.
    const QWidgetList all = QApplication::allWidgets();
    for (QWidget* w : all) {
        auto* box = qobject_cast<QComboBox*>(w);
        if (!box || !box->view())
            continue;
        // The box copies its palette into the list's window on a palette
        // change only; a sheet switch is not one.
        QEvent paletteChange(QEvent::PaletteChange);
        QCoreApplication::sendEvent(box, &paletteChange);
        QAbstractItemView* view = box->view();
        QWidget* popup = view->parentWidget();
        for (QWidget* part : {popup, static_cast<QWidget*>(view), view->viewport()}) {
            if (!part)
                continue;
            part->style()->unpolish(part);
            part->style()->polish(part);
            part->update();
        }
    }
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
