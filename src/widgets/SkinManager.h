#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Switches the application-wide theme. Each theme is one style sheet compiled
// into the resources; a sheet is read once and kept. Widgets that cache
// style-dependent state (editors, popup list views, plots) register here and
// are unpolished before and polished after the new sheet goes in.
class SkinManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSkinCount = 7;

    static SkinManager* instance();

    // The sheet of a theme number; unknown numbers get the dark purple one.
    static QString styleSheetPath(int skinType);

    // -1 until the first switch.
    int currentSkin() const { return m_current; }

    // Applies the theme unless it is the current one, then announces it
    // through StyleWatcher::skinChanged.
    void setSkin(int skinType);

    // Reads (or takes from the cache) the sheet at `path` and applies it.
    // An unreadable file leaves the current style in place, tells the user
    // "Style File load failed..." and returns false.
    bool loadStyle(const QString& path);

    // Adds a widget to the re-polish list; null is ignored, and a widget
    // that is destroyed drops out by itself.
    void registerWidget(QWidget* widget);
    int registeredCount() const;

    // How often a sheet was read from its file rather than from the cache.
    int fileReadCount() const { return m_fileReads; }
    bool isCached(const QString& path) const { return m_cache.contains(path); }

private:
    void repolishComboPopups();
    explicit SkinManager(QObject* parent = nullptr);

    int m_current = -1;
    int m_fileReads = 0;
    QHash<QString, QString> m_cache;
    QList<QPointer<QWidget>> m_widgets;
};
