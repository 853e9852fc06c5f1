#pragma once

#include "WaveformGenerator.h"

#include <QList>
#include <QListWidget>

class WaveFormInfoItem;

// The generator's ten waveform kinds, one row each; a double click on a row
// selects or deselects its kind.
class WaveformListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit WaveformListWidget(QWidget* parent = nullptr);

    const QList<WaveFormInfoItem*>& items() const { return m_items; }
    // The checked items in list order.
    QList<WaveFormInfoItem*> checkedItems() const;
    void selectAll() override;
    void selectNone();

Q_SIGNALS:
    void itemToggled(const WaveFormInfoItem* item, bool checked);
    void itemValueChanged(WaveformInfo info);

private:
    QList<WaveFormInfoItem*> m_items;
};
