#include "StyleWatcher.h"

#include <QCoreApplication>

StyleWatcher::StyleWatcher(QObject* parent) : QObject(parent) {}

StyleWatcher* StyleWatcher::instance()
{
    // Parented to the application so it goes with it; created on first use.
    static StyleWatcher* watcher = new StyleWatcher(QCoreApplication::instance());
    return watcher;
}

void StyleWatcher::notifySkinChanged(int type)
{
    m_skinType = type;
    Q_EMIT skinChanged(type);
}
