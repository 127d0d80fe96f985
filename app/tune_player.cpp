// The FluidSynth tune player: a worker thread per tune that loads the FluidSynth module at the first tune
// and lets it drive the synthesiser and the sound device.
#include "app/tune_player.h"

#include "app/tune_module.h"

#include <dlfcn.h>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

namespace corvelle::app {

namespace {

// How long the destructor gives a worker to close its device before leaving it to finish alone.
constexpr int kShutdownGraceMs = 2000;

// The module's entry points; null when it or FluidSynth below it could not be loaded.
struct TuneModule {
    PlayTuneFunction play = nullptr;
    RenderTuneFunction render = nullptr;
};

// The folder of the running executable, where the build puts the module; empty when unknown.
std::filesystem::path executableFolder()
{
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

TuneModule loadTuneModule()
{
    void* handle = nullptr;
    if (std::filesystem::path folder = executableFolder(); !folder.empty())
        handle = dlopen((folder / kTuneModuleFile).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        handle = dlopen(kTuneModuleFile, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {};
    // The module stays loaded for the rest of the process: a worker left to finish alone may still be
    // inside it when everything else has gone.
    TuneModule module;
    module.play = reinterpret_cast<PlayTuneFunction>(dlsym(handle, kPlayTuneSymbol));
    module.render = reinterpret_cast<RenderTuneFunction>(dlsym(handle, kRenderTuneSymbol));
    return module;
}

// Loads the module at the first call, from whichever thread makes it; FluidSynth and the ~50 libraries
// it pulls in are only needed once a tune is played, so the program starts without them.
const TuneModule& tuneModule()
{
    static const TuneModule module = loadTuneModule();
    return module;
}

}  // namespace

std::string findSoundFont()
{
    for (const char* candidate :
         {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return {};
}

FluidSynthTunePlayer::FluidSynthTunePlayer(FluidSynthOptions options) : m_options(std::move(options)) {}

FluidSynthTunePlayer::~FluidSynthTunePlayer()
{
    stop();
    releaseWorker(kShutdownGraceMs);
}

void FluidSynthTunePlayer::play(std::string midi)
{
    stop();
    releaseWorker(0);
    auto session = std::make_shared<TuneSession>();
    try {
        m_worker = std::thread([session, midi = std::move(midi), options = m_options] {
            // Loading the module can take a while the first time: it happens here, never on the caller's
            // thread. Without it the tune stays silent.
            if (PlayTuneFunction playTune = tuneModule().play)
                playTune(*session, midi, options);
            std::lock_guard lock(session->mutex);
            session->finished = true;
            session->changed.notify_all();
        });
        m_session = std::move(session);
    } catch (const std::system_error&) {
        // No thread, no tune: failing to play stays silent.
    }
}

void FluidSynthTunePlayer::stop()
{
    if (!m_session)
        return;
    std::lock_guard lock(m_session->mutex);
    m_session->stopRequested = true;
    m_session->changed.notify_all();
}

bool FluidSynthTunePlayer::waitUntilIdle(int timeoutMs)
{
    if (!m_session)
        return true;
    std::unique_lock lock(m_session->mutex);
    return m_session->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                       [this] { return m_session->finished; });
}

// Joins the worker when it has finished within graceMs; otherwise (a sound device that takes its time to
// open or close) lets it finish alone rather than make the caller wait.
void FluidSynthTunePlayer::releaseWorker(int graceMs)
{
    if (m_worker.joinable()) {
        if (waitUntilIdle(graceMs))
            m_worker.join();
        else
            m_worker.detach();
    }
    m_session.reset();
}

RenderedTune renderTune(std::string_view midi, const std::string& soundFont, int sampleRate,
                        double maxSeconds)
{
    RenderedTune tune;
    if (RenderTuneFunction render = tuneModule().render)
        render(midi, soundFont, sampleRate, maxSeconds, tune);
    return tune;
}

}  // namespace corvelle::app
