#include "WaveformCsvReplay.h"

#include "WaveformStore.h"

QVector<int> WaveformCsvReplay::mapColumns(WaveformStore& store, const CsvReplayHeader& header)
{
    QVector<int> map;
    for (int i = 0; i < header.columnNames.size() && i < WaveformCsvParser::kMaxColumns; ++i) {
        const QString& name = header.columnNames.at(i);
        if (!store.hasChannel(i)) {
            map.append(store.addChannel(name));
        } else {
            if (!name.isEmpty())
                store.setChannelName(i, name);
            map.append(i);
        }
    }
    return map;
}

QList<int> WaveformCsvReplay::apply(WaveformStore& store, const CsvParseResult& result,
                                    const QVector<int>& columnToChannel)
{
    store.setSampleRate(result.sampleRate);
    for (int i = 0; i < columnToChannel.size() && i < result.columns.size(); ++i) {
        WaveformChannel* ch = store.channel(columnToChannel.at(i));
        if (!ch)
            continue;
        // The file's extremes become the data range whatever the auto range
        // flag says; the flag itself is left as the user set it.
        const bool autoRange = ch->autoRange;
        ch->autoRange = true;
        store.appendChannelData(columnToChannel.at(i), result.columns.at(i));
        store.channel(columnToChannel.at(i))->autoRange = autoRange;
    }

    QList<int> changed;
    for (int id : store.channelIds()) {
        if (store.setChannelVisible(id, columnToChannel.contains(id)))
            changed.append(id);
    }
    store.setScrollOffset(0);
    if (store.hasData())
        store.fitView();
    store.clampView();
    return changed;
}
