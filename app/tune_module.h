// What the tune player and the FluidSynth module it loads at the first tune share: the session state and
// the entry points the module exports.
#pragma once

#include "app/tune_player.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>

namespace corvelle::app {

// What a player and its worker share. The worker holds its own reference, so a worker left to finish
// alone never touches a destroyed player.
struct TuneSession {
    std::mutex mutex;
    std::condition_variable changed;
    bool stopRequested = false;
    bool finished = false;
};

// Plays midi once on the first audio driver of options that opens, until it ends or session.stopRequested
// is set; returns at once when anything is missing. Runs on the player's worker thread.
using PlayTuneFunction = void (*)(TuneSession& session, const std::string& midi,
                                  const FluidSynthOptions& options);
// renderTune, done by the module: out stays empty when anything is missing.
using RenderTuneFunction = void (*)(std::string_view midi, const std::string& soundFont, int sampleRate,
                                    double maxSeconds, RenderedTune& out);

// The module's file name (next to the executable, or found by the dynamic loader) and its entry points.
inline constexpr char kTuneModuleFile[] = "libcorvelle_tune.so";
inline constexpr char kPlayTuneSymbol[] = "corvelle_tune_play";
inline constexpr char kRenderTuneSymbol[] = "corvelle_tune_render";

}  // namespace corvelle::app
