#pragma once

#include "WaveformCsvParser.h"

#include <QList>
#include <QVector>

class WaveformStore;

// The store side of a replay, done on the GUI thread around the parse task.
class WaveformCsvReplay
{
public:
    // Gives the file's columns their channels: column i goes to channel i,
    // which takes the column's name when that is not empty; a missing
    // channel is created with the name. Returns column -> channel id.
    static QVector<int> mapColumns(WaveformStore& store, const CsvReplayHeader& header);

    // Fills the mapped channels with the parsed samples and sets the sample
    // rate, data ranges and time bounds; exactly the mapped channels become
    // visible; the view shows the whole recording. Returns the ids whose
    // visibility changed, for the caller to announce.
    static QList<int> apply(WaveformStore& store, const CsvParseResult& result,
                            const QVector<int>& columnToChannel);
};
