#include "platform/clock.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace platform {
namespace {

// Each move of the clock: the tick count when it was made, and how far the
// clock stood ahead of the tick count from then on. A moment of the system's
// tick count lies on our clock as far ahead as the moves made before it say,
// so an input that came before a move has grown older by it, as waiting
// would have made it.
struct Move {
    ULONGLONG at_tick;
    ULONGLONG ahead;
};

std::mutex g_moves_mutex;
std::vector<Move> g_moves; // in order; tests make a few
std::atomic<LastInputSource> g_input_source{nullptr};

ULONGLONG ahead_at(ULONGLONG tick) {
    ULONGLONG ahead = 0;
    for (const Move& move : g_moves) {
        if (move.at_tick > tick) break;
        ahead = move.ahead;
    }
    return ahead;
}

} // namespace

ULONGLONG clock_ms() {
    const std::lock_guard lock(g_moves_mutex);
    return GetTickCount64() + (g_moves.empty() ? 0 : g_moves.back().ahead);
}

void advance_clock(ULONGLONG milliseconds) {
    const std::lock_guard lock(g_moves_mutex);
    const ULONGLONG ahead = (g_moves.empty() ? 0 : g_moves.back().ahead) + milliseconds;
    g_moves.push_back({GetTickCount64(), ahead});
}

ULONGLONG last_input_ms() {
    if (const LastInputSource source = g_input_source) return source();
    LASTINPUTINFO info{sizeof info, 0};
    // Without an answer the user counts as present: nothing closes on a guess.
    if (!GetLastInputInfo(&info)) return clock_ms();
    // The system keeps the input's time as the 32-bit tick count, the low
    // half of the 64-bit one: the difference holds across the count's wrap.
    const ULONGLONG now = GetTickCount64();
    DWORD ago = static_cast<DWORD>(now) - info.dwTime;
    // An input stamped after the count was read (or by a count that runs
    // ahead) would read as weeks old: it is an input of now.
    if (ago > 0x7FFF'FFFF || ago > now) ago = 0;
    const ULONGLONG input_tick = now - ago;
    const std::lock_guard lock(g_moves_mutex);
    return input_tick + ahead_at(input_tick);
}

void set_last_input_source(LastInputSource source) { g_input_source = source; }

} // namespace platform
