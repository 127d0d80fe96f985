// Playing the About window's tune: the player the window talks to, and the FluidSynth one, whose synthesiser
// lives in a module loaded at the first tune.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace corvelle::app {

struct TuneSession;

// Plays a standard MIDI file in the background. Failing to play is silent: no error, no message.
class TunePlayer {
public:
    TunePlayer() = default;
    virtual ~TunePlayer() = default;
    TunePlayer(const TunePlayer&) = delete;
    TunePlayer& operator=(const TunePlayer&) = delete;

    // Starts playing the file once and returns at once; a tune still playing is stopped first.
    virtual void play(std::string midi) = 0;
    // Stops what is playing; nothing happens when nothing plays.
    virtual void stop() = 0;
};

// The General MIDI SoundFont installed with the program's packages (the system's default-GM.sf2, or
// TimGM6mb.sf2); empty when none is there.
[[nodiscard]] std::string findSoundFont();

struct FluidSynthOptions {
    std::string soundFont = findSoundFont();
    // FluidSynth audio drivers to try, in order; when none opens a device the tune stays silent.
    std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};
    // Where the "file" driver writes its raw samples; unused by the other drivers.
    std::string outputFile;
};

// Plays through FluidSynth. Everything that can take time (loading the FluidSynth module at the first tune,
// loading the SoundFont, opening the sound device) happens on a worker thread, so neither play() nor stop()
// waits for it. Without the module the tune stays silent.
class FluidSynthTunePlayer : public TunePlayer {
public:
    explicit FluidSynthTunePlayer(FluidSynthOptions options = {});
    ~FluidSynthTunePlayer() override;

    void play(std::string midi) override;
    void stop() override;

    // Waits until the current tune has ended or was stopped and its device is closed, at most
    // timeoutMs; true when nothing plays any more.
    bool waitUntilIdle(int timeoutMs);

private:
    void releaseWorker(int graceMs);

    FluidSynthOptions m_options;
    std::shared_ptr<TuneSession> m_session;
    std::thread m_worker;
};

// A tune rendered without a sound device.
struct RenderedTune {
    std::vector<float> samples;  // interleaved stereo
    int sampleRate = 0;
    // Where the file's last event falls; the samples go on while the last notes ring out.
    std::size_t endOfFileFrame = 0;
};

// Renders the file through the same synthesiser set-up the player uses, as FluidSynth's player plays
// it: to the file's end and on through the ringing out of the last notes. No samples when the SoundFont
// or the MIDI data (or the FluidSynth module) cannot be loaded; stops after maxSeconds whatever the file
// says.
[[nodiscard]] RenderedTune renderTune(std::string_view midi, const std::string& soundFont, int sampleRate,
                                      double maxSeconds = 600.0);

}  // namespace corvelle::app
