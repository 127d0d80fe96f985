// The embedded tune: its MIDI structure, FluidSynth rendering it without a sound device, and the live
// player's start and stop.
#include "app/about_window.h"
#include "app/tune_player.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace corvelle::app {
namespace {

// A standard MIDI file read strictly: every chunk and every event must be well formed.
struct MidiTrack {
    std::uint32_t length = 0;
    std::uint32_t endTick = 0;  // tick of the end-of-track event
    bool endsWithEndOfTrack = false;
    int noteOns = 0;
};

struct MidiFile {
    int format = -1;
    int trackCount = -1;
    int division = -1;
    std::vector<MidiTrack> tracks;
    std::map<std::uint32_t, std::uint32_t> tempos;  // tick -> microseconds per quarter note
    std::string error;                              // empty when the file read cleanly
};

std::uint32_t bigEndian(const std::string& bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Reads one track's events from [at, end); returns an error text or "".
std::string readTrackEvents(const std::string& bytes, std::size_t at, std::size_t end, MidiTrack& track,
                            std::map<std::uint32_t, std::uint32_t>& tempos)
{
    std::uint32_t tick = 0;
    int running = -1;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    auto varlen = [&](std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (at >= end)
                return false;
            unsigned char b = byte(at++);
            value = value << 7 | (b & 0x7FU);
            if (!(b & 0x80U))
                return true;
        }
        return false;
    };
    while (at < end) {
        if (track.endsWithEndOfTrack)
            return "events after end of track";
        std::uint32_t delta = 0;
        if (!varlen(delta))
            return "bad delta time";
        tick += delta;
        if (at >= end)
            return "event cut off";
        unsigned char status = byte(at);
        if (status == 0xFF) {
            if (at + 2 > end)
                return "meta event cut off";
            unsigned char type = byte(at + 1);
            at += 2;
            std::uint32_t length = 0;
            if (!varlen(length) || at + length > end)
                return "meta event length runs past the chunk";
            if (type == 0x2F) {
                if (length != 0)
                    return "end of track with data";
                track.endsWithEndOfTrack = true;
                track.endTick = tick;
            }
            if (type == 0x51) {
                if (length != 3)
                    return "tempo event of wrong length";
                tempos[tick] = bigEndian(bytes, at, 3);
            }
            at += length;
            running = -1;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            ++at;
            std::uint32_t length = 0;
            if (!varlen(length) || at + length > end)
                return "sysex runs past the chunk";
            at += length;
            running = -1;
            continue;
        }
        if (status & 0x80U) {
            running = status;
            ++at;
        } else if (running < 0) {
            return "data byte without running status";
        }
        int kind = running & 0xF0;
        std::size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (at + dataBytes > end)
            return "channel event cut off";
        for (std::size_t i = 0; i < dataBytes; ++i)
            if (byte(at + i) & 0x80U)
                return "data byte with the high bit set";
        if (kind == 0x90 && byte(at + 1) != 0)
            ++track.noteOns;
        at += dataBytes;
    }
    return track.endsWithEndOfTrack ? "" : "track does not end with FF 2F 00";
}

MidiFile readMidi(const std::string& bytes)
{
    MidiFile midi;
    if (bytes.size() < 14 || bytes.compare(0, 4, "MThd") != 0 || bigEndian(bytes, 4, 4) != 6) {
        midi.error = "no MThd header of length 6";
        return midi;
    }
    midi.format = static_cast<int>(bigEndian(bytes, 8, 2));
    midi.trackCount = static_cast<int>(bigEndian(bytes, 10, 2));
    midi.division = static_cast<int>(bigEndian(bytes, 12, 2));
    std::size_t at = 14;
    while (at < bytes.size()) {
        if (at + 8 > bytes.size() || bytes.compare(at, 4, "MTrk") != 0) {
            midi.error = "chunk " + std::to_string(midi.tracks.size() + 1) + " is not MTrk";
            return midi;
        }
        MidiTrack track;
        track.length = bigEndian(bytes, at + 4, 4);
        std::size_t end = at + 8 + track.length;
        if (end > bytes.size()) {
            midi.error = "track length runs past the file";
            return midi;
        }
        std::string error = readTrackEvents(bytes, at + 8, end, track, midi.tempos);
        if (!error.empty()) {
            midi.error = "track " + std::to_string(midi.tracks.size() + 1) + ": " + error;
            return midi;
        }
        midi.tracks.push_back(track);
        at = end;
    }
    return midi;
}

// The playing time from the first tick to the last end of track, through the tempo map.
double durationSeconds(const MidiFile& midi)
{
    std::uint32_t endTick = 0;
    for (const MidiTrack& track : midi.tracks)
        endTick = std::max(endTick, track.endTick);
    double seconds = 0.0;
    std::uint32_t tick = 0;
    std::uint32_t tempo = 500000;  // 120 beats per minute until the file says otherwise
    for (auto [changeTick, newTempo] : midi.tempos) {
        if (changeTick >= endTick)
            break;
        seconds += (changeTick - tick) * tempo / 1e6 / midi.division;
        tick = changeTick;
        tempo = newTempo;
    }
    return seconds + (endTick - tick) * tempo / 1e6 / midi.division;
}

struct Loudness {
    float peak = 0.0F;
    double rms = 0.0;
};

Loudness loudness(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    Loudness result;
    double sum = 0.0;
    to = std::min(to, samples.size());
    for (std::size_t i = from; i < to; ++i) {
        result.peak = std::max(result.peak, std::abs(samples[i]));
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    if (to > from)
        result.rms = std::sqrt(sum / static_cast<double>(to - from));
    return result;
}

std::filesystem::path sourceTune()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "resources" /
           "tune.mid";
}

TEST(AboutTuneFile, IsTheCommittedFileByteForByte)
{
    ASSERT_EQ(aboutTune().size(), 3952U) << "the tune is missing from the resources or has the wrong size";
    EXPECT_EQ(aboutTune(), testing::readFileBytes(sourceTune()));
}

TEST(AboutTuneFile, IsAWellFormedFormatOneFileOfSeventeenTracks)
{
    MidiFile midi = readMidi(aboutTune());
    ASSERT_EQ(midi.error, "");
    EXPECT_EQ(midi.format, 1);
    EXPECT_EQ(midi.trackCount, 17);
    EXPECT_EQ(midi.tracks.size(), 17U) << "the header's track count must match the chunks that follow";
    EXPECT_EQ(midi.division, 120);
    EXPECT_FALSE(midi.tempos.empty());
    int tracksWithNotes = 0;
    for (const MidiTrack& track : midi.tracks)
        tracksWithNotes += track.noteOns > 0 ? 1 : 0;
    EXPECT_GE(tracksWithNotes, 3) << "a tune, not a single line";
    double seconds = durationSeconds(midi);
    EXPECT_GT(seconds, 5.0);
    EXPECT_LT(seconds, 90.0) << "a short tune";
}

TEST(AboutTuneFile, ReaderRejectsBrokenFiles)
{
    // The reader above decides the tune is well formed, so it must see these faults.
    const std::string& tune = aboutTune();
    ASSERT_FALSE(tune.empty());
    std::string truncated = tune.substr(0, tune.size() - 1);
    EXPECT_NE(readMidi(truncated).error, "");
    std::string noEnd = tune;
    noEnd[noEnd.size() - 2] = 0x01;  // FF 2F 00 becomes FF 01 00, a text event
    EXPECT_NE(readMidi(noEnd).error, "");
    std::string badChunk = tune;
    badChunk[14] = 'X';
    EXPECT_NE(readMidi(badChunk).error, "");
}

TEST(AboutTuneRendering, SoundsForAsLongAsTheFileSays)
{
    std::string soundFont = findSoundFont();
    ASSERT_FALSE(soundFont.empty()) << "the General MIDI SoundFont (timgm6mb-soundfont) is not installed";
    constexpr int kRate = 22050;
    RenderedTune tune = renderTune(aboutTune(), soundFont, kRate);
    ASSERT_FALSE(tune.samples.empty());
    EXPECT_EQ(tune.sampleRate, kRate);
    const std::size_t frames = tune.samples.size() / 2;
    ASSERT_LE(tune.endOfFileFrame, frames);
    // FluidSynth's own clock through the tempo changes against ours; it counts in blocks of 512 frames.
    double fileSeconds = static_cast<double>(tune.endOfFileFrame) / kRate;
    EXPECT_NEAR(fileSeconds, durationSeconds(readMidi(aboutTune())), 0.05);

    const std::size_t fileEnd = 2 * tune.endOfFileFrame;
    Loudness whole = loudness(tune.samples, 0, fileEnd);
    EXPECT_GT(whole.peak, 0.05F);
    EXPECT_GT(whole.rms, 0.005);
    EXPECT_LE(whole.peak, 1.0F) << "clipping";
    // Sound throughout: every fifth of the tune is audible, not just a burst at the start.
    for (std::size_t part = 0; part < 5; ++part) {
        EXPECT_GT(loudness(tune.samples, fileEnd * part / 5, fileEnd * (part + 1) / 5).rms, 0.002)
            << "part " << part + 1 << " of 5 is silent";
    }
    // The last chord rings out after the file's end and then fades.
    if (frames > tune.endOfFileFrame + kRate) {
        EXPECT_LT(loudness(tune.samples, tune.samples.size() - kRate / 5, tune.samples.size()).rms,
                  whole.rms);
    }
}

TEST(AboutTuneRendering, GivesNothingWithoutASoundFontOrMidiData)
{
    EXPECT_TRUE(renderTune(aboutTune(), "/nonexistent/none.sf2", 22050).samples.empty());
    EXPECT_TRUE(renderTune(aboutTune(), "", 22050).samples.empty());
    EXPECT_TRUE(renderTune("not a midi file at all", findSoundFont(), 22050).samples.empty());
    EXPECT_TRUE(renderTune(aboutTune(), findSoundFont(), 0).samples.empty());
}

// Waits until pred holds, at most timeout; the tests' own guard against a hang, not a speed check.
template <typename Pred>
bool eventually(Pred pred, std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool hasSound(const std::filesystem::path& rawFile)
{
    std::string bytes = testing::readFileBytes(rawFile);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (std::abs(sample) > 200)
            return true;
    }
    return false;
}

TEST(FluidSynthTunePlayer, PlaysInTheBackgroundAndStopsOnRequest)
{
    // FluidSynth's "file" driver stands in for a sound card: it pulls samples like a device does.
    testing::TempDir dir;
    std::filesystem::path output = dir.file("tune.raw");
    FluidSynthTunePlayer player(
        {.soundFont = findSoundFont(), .audioDrivers = {"file"}, .outputFile = output.string()});
    player.play(aboutTune());
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(output) && hasSound(output); }))
        << "the player produced no sound";
    EXPECT_FALSE(player.waitUntilIdle(0)) << "a 37-second tune is still playing";
    player.stop();
    ASSERT_TRUE(player.waitUntilIdle(10000)) << "stop did not end the tune";
    auto sizeAfterStop = std::filesystem::file_size(output);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(std::filesystem::file_size(output), sizeAfterStop) << "samples still written after stop";
}

TEST(FluidSynthTunePlayer, StaysSilentWithoutDeviceOrSoundFont)
{
    struct Case {
        const char* name;
        FluidSynthOptions options;
        std::string midi;
    };
    const Case cases[] = {
        {"no usable driver",
         {.soundFont = findSoundFont(), .audioDrivers = {"no-such-driver"}, .outputFile = {}},
         aboutTune()},
        {"no driver at all",
         {.soundFont = findSoundFont(), .audioDrivers = {}, .outputFile = {}},
         aboutTune()},
        {"no SoundFont",
         {.soundFont = "/nonexistent/none.sf2", .audioDrivers = {"file"}, .outputFile = "/dev/null"},
         aboutTune()},
        {"not a MIDI file",
         {.soundFont = findSoundFont(), .audioDrivers = {"file"}, .outputFile = "/dev/null"},
         "garbage"},
    };
    for (const Case& c : cases) {
        FluidSynthTunePlayer player(c.options);
        player.stop();  // nothing plays yet: nothing happens
        player.play(c.midi);
        EXPECT_TRUE(player.waitUntilIdle(20000)) << c.name << ": the player did not give up";
        player.stop();
        player.play(c.midi);  // a second start after a failed one is just as quiet
    }
}

}  // namespace
}  // namespace corvelle::app
