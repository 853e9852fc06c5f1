#pragma once

// Direction of a text shown in the log: received or sent.
enum Direct
{
    Rx = 0,
    Tx = 1
};
