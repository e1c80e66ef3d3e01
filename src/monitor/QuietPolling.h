#pragma once

#include <QtGlobal>

// How often the watch asks a subscribed server for events, by how long the server
// has been quiet. The server answers at once whether it has events or not, so the
// wait between two asks is the watch's latency; but every ask costs the server a
// request, and a site where many stations watch one server pays it many times
// over. Right after an event, when more are likely (an operator at work, a queue
// printing), the watch asks often; once the server has been quiet a while it asks
// less and less often, down to once every longestMs, which still shows the first
// event after the quiet well within a second.
struct QuietPolling {
    int shortestMs = 150;  // while events come, and for holdMs after the last one
    int longestMs = 900;   // once the server has been quiet for rampEndMs
    int holdMs = 5000;     // quiet for less than this still counts as busy
    int rampEndMs = 30000; // from holdMs to here the wait grows evenly

    // The wait before the next ask when the last event was quietForMs ago.
    constexpr int waitMs(qint64 quietForMs) const {
        if (quietForMs >= rampEndMs)
            return longestMs;
        if (quietForMs <= holdMs)
            return shortestMs;
        return shortestMs + static_cast<int>((longestMs - shortestMs) * (quietForMs - holdMs) /
                                             (rampEndMs - holdMs));
    }
};
