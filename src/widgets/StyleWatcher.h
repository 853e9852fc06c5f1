#pragma once

#include <QObject>

// Process-wide announcer of theme changes. The theme manager calls
// notifySkinChanged() after it applied a style sheet; widgets that draw with
// theme-dependent colours of their own (the log highlighter, plots) listen to
// skinChanged. Type 0 is the light theme, any other value a dark one.
class StyleWatcher : public QObject
{
    Q_OBJECT
public:
    static StyleWatcher* instance();

    int skinType() const { return m_skinType; }

public Q_SLOTS:
    // Remembers the type and emits skinChanged (also when it is unchanged: the
    // sheet may still differ between two dark themes).
    void notifySkinChanged(int type);

Q_SIGNALS:
    void skinChanged(int type);

private:
    explicit StyleWatcher(QObject* parent = nullptr);
    int m_skinType = 1;
};
