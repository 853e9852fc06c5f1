#include "CursorPair.h"

#include <atomic>

QColor CursorPair::nextColor()
{
    static const QColor cycle[7] = {QColor(178, 98, 96),  QColor(16, 119, 88), QColor(98, 73, 152),
                                    QColor(177, 115, 60), QColor(148, 51, 93), QColor(35, 122, 160),
                                    QColor(234, 87, 87)};
    static std::atomic<unsigned> next{0};
    return cycle[next++ % 7];
}
