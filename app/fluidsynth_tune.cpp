// The FluidSynth module: the synthesiser, its sound device and rendering, loaded only when a tune is played.
#include "app/tune_module.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <type_traits>

namespace corvelle::app {

namespace {

constexpr double kLiveSampleRate = 44100.0;
constexpr double kSynthGain = 0.4;
constexpr std::chrono::milliseconds kStatusPoll{50};

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct PlayerDeleter {
    void operator()(fluid_player_t* player) const { delete_fluid_player(player); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};
using Settings = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using Synth = std::unique_ptr<fluid_synth_t, SynthDeleter>;
using Player = std::unique_ptr<fluid_player_t, PlayerDeleter>;
using AudioDriver = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

// Settings, synthesiser and MIDI player, destroyed in the reverse of that order.
struct Synthesiser {
    Settings settings;
    Synth synth;
    Player player;
};

// ALSA's error handler type (alsa/error.h); the handler below ignores everything it is given.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA comes in with FluidSynth, local to this module, so it is not in the global scope: ask for the
// copy already loaded (never load one just for this).
void* findAlsaErrorHook()
{
    if (void* symbol = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))
        return symbol;
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!alsa)
        return nullptr;
    void* symbol = dlsym(alsa, "snd_lib_error_set_handler");
    dlclose(alsa);  // only drops the reference taken above: FluidSynth keeps ALSA loaded
    return symbol;
}

// FluidSynth, and ALSA below it, write their complaints (no sound server, no sound card) to the
// terminal. A missing sound device is a normal condition here, so the program keeps quiet about it.
// ALSA is reached through FluidSynth only, so its handler is looked up rather than linked.
void silenceFluidSynthLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        if (void* symbol = findAlsaErrorHook()) {
            auto setHandler = reinterpret_cast<int (*)(AlsaErrorHandler)>(symbol);
            setHandler(&ignoreAlsaError);
        }
    });
}

bool looksLikeMidiFile(std::string_view midi)
{
    return midi.size() >= 14 && midi.substr(0, 4) == "MThd";
}

// Builds the synthesiser with the SoundFont loaded and the file queued, played once. False when any part
// of that fails.
bool prepareSynthesiser(Synthesiser& out, std::string_view midi, const std::string& soundFont,
                        double sampleRate)
{
    if (!looksLikeMidiFile(midi) || soundFont.empty())
        return false;
    out.settings.reset(new_fluid_settings());
    if (!out.settings)
        return false;
    fluid_settings_setnum(out.settings.get(), "synth.sample-rate", sampleRate);
    fluid_settings_setnum(out.settings.get(), "synth.gain", kSynthGain);
    out.synth.reset(new_fluid_synth(out.settings.get()));
    if (!out.synth || fluid_synth_sfload(out.synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return false;
    out.player.reset(new_fluid_player(out.synth.get()));
    if (!out.player || fluid_player_add_mem(out.player.get(), midi.data(), midi.size()) != FLUID_OK)
        return false;
    fluid_player_set_loop(out.player.get(), 1);
    return true;
}

bool playing(fluid_player_t* player)
{
    return fluid_player_get_status(player) == FLUID_PLAYER_PLAYING;
}

void playTune(TuneSession& session, const std::string& midi, const FluidSynthOptions& options)
{
    silenceFluidSynthLog();
    auto stopRequested = [&session] {
        std::lock_guard lock(session.mutex);
        return session.stopRequested;
    };
    Synthesiser synthesiser;
    if (!prepareSynthesiser(synthesiser, midi, options.soundFont, kLiveSampleRate) || stopRequested())
        return;
    if (!options.outputFile.empty())
        fluid_settings_setstr(synthesiser.settings.get(), "audio.file.name", options.outputFile.c_str());
    AudioDriver driver;
    for (const std::string& name : options.audioDrivers) {
        if (fluid_settings_setstr(synthesiser.settings.get(), "audio.driver", name.c_str()) != FLUID_OK)
            continue;
        driver.reset(new_fluid_audio_driver(synthesiser.settings.get(), synthesiser.synth.get()));
        if (driver || stopRequested())
            break;
    }
    if (!driver)
        return;  // no sound device: the tune stays silent
    fluid_player_t* player = synthesiser.player.get();
    fluid_player_play(player);
    {
        std::unique_lock lock(session.mutex);
        // FluidSynth's player stays "playing" past the file's end while the last notes ring out.
        while (!session.stopRequested && playing(player))
            session.changed.wait_for(lock, kStatusPoll);
    }
    fluid_player_stop(player);
    driver.reset();  // the device stops pulling samples before the synthesiser goes away
}

RenderedTune renderOffline(std::string_view midi, const std::string& soundFont, int sampleRate,
                           double maxSeconds)
{
    silenceFluidSynthLog();
    RenderedTune tune;
    Synthesiser synthesiser;
    if (sampleRate <= 0 || !prepareSynthesiser(synthesiser, midi, soundFont, sampleRate))
        return tune;
    tune.sampleRate = sampleRate;
    constexpr int kBlockFrames = 512;
    std::vector<float> block(std::size_t{2} * kBlockFrames);
    const auto maxFrames = static_cast<std::size_t>(std::max(0.0, maxSeconds) * sampleRate);
    fluid_player_t* player = synthesiser.player.get();
    fluid_player_play(player);
    bool endReached = false;
    // Without an audio driver the player's clock is the synthesiser's sample count, so each block
    // written moves the file on by exactly that much time.
    while (playing(player) && tune.samples.size() / 2 < maxFrames) {
        if (fluid_synth_write_float(synthesiser.synth.get(), kBlockFrames, block.data(), 0, 2, block.data(),
                                    1, 2) != FLUID_OK)
            return {};
        tune.samples.insert(tune.samples.end(), block.begin(), block.end());
        if (!endReached && fluid_player_get_current_tick(player) >= fluid_player_get_total_ticks(player)) {
            endReached = true;
            tune.endOfFileFrame = tune.samples.size() / 2;
        }
    }
    fluid_player_stop(player);
    if (!endReached)
        tune.endOfFileFrame = tune.samples.size() / 2;
    return tune;
}

}  // namespace

}  // namespace corvelle::app

// The entry points the player looks up by name; their types are PlayTuneFunction and RenderTuneFunction.
extern "C" {

__attribute__((visibility("default"))) void
corvelle_tune_play(corvelle::app::TuneSession& session, const std::string& midi,
                   const corvelle::app::FluidSynthOptions& options)
{
    corvelle::app::playTune(session, midi, options);
}

__attribute__((visibility("default"))) void corvelle_tune_render(std::string_view midi,
                                                                 const std::string& soundFont, int sampleRate,
                                                                 double maxSeconds,
                                                                 corvelle::app::RenderedTune& out)
{
    out = corvelle::app::renderOffline(midi, soundFont, sampleRate, maxSeconds);
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&corvelle_tune_play), corvelle::app::PlayTuneFunction>);
static_assert(std::is_same_v<decltype(&corvelle_tune_render), corvelle::app::RenderTuneFunction>);
