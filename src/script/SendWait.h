#pragma once

#include <QMutex>
#include <QWaitCondition>

// One send handed from a script thread to the port's thread. Both sides hold
// it through a shared pointer, so whichever lets go last frees it: the script
// side may give up (cancel) while the queued write is still on its way.
struct SendWait
{
    QMutex mutex;
    QWaitCondition cond;
    bool cancelled = false;
    bool done = false;
    bool result = false;
};
