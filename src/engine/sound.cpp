// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Sounds: WAV and MP3 decoded fully into memory, each handle owning a few mixer channels that it
// plays in turn, so one effect can overlap itself up to that many times.
//
// Decoding the music is most of the loading time, so compressed files are decoded on a background
// thread while the game goes on loading its pictures. A sound played before its turn is decoded at
// once by the thread that wants it; a sound is never heard late or cut.
//
// Without an audio device the mixer runs on SDL's silent driver: sounds still load and "play".
//
// Headroom: the mixer adds its channels in 16 bits and saturates, so every sound plays at a quarter
// of its volume there, and after the sum a look-ahead limiter gives the 12 dB back while holding
// the peaks under -1 dBFS. Overlapping effects over the music are pressed down smoothly for a
// moment instead of being clipped.
#include "engine.h"
#include "headless.h"
#include "internal.h"
#include "platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <strings.h>
#include <thread>
#include <vector>

namespace engine {

namespace {

constexpr int MaxSounds = 256;
constexpr int MaxBuffers = 10;
constexpr int SlotBits = 8;
constexpr int MaxStartedPerFrame = 32;
constexpr int HeadroomVolume = MIX_MAX_VOLUME / 4; // every chunk's own volume: 12 dB of room

struct Sound {
    bool used = false;
    uint32_t generation = 0;
    Mix_Chunk* chunk = nullptr;
    int firstChannel = 0;
    int buffers = 0;
    int next = 0;
    bool pending = false; // its decoding (below) has not been collected yet
    int mixerVolume = MIX_MAX_VOLUME;
    bool music = false; // an MP3: scaled by the music volume, not the effects volume
    int starts[MaxBuffers] = {};
    char name[64] = "";
};

// A sound's decoding, shared with the decoding thread under DecodeMutex.
struct DecodeJob {
    enum { Idle, Queued, Working, Done } state = Idle;
    std::vector<unsigned char> bytes;
    Mix_Chunk* chunk = nullptr;
    char error[160] = "";
};

Sound Sounds[MaxSounds];
// The player's volumes, in percent, on top of what the game sets per sound.
int MusicPercent = 100;
int EffectsPercent = 100;

int ScaledVolume(const Sound& sound) {
    return sound.mixerVolume * (sound.music ? MusicPercent : EffectsPercent) / 100;
}
DecodeJob Jobs[MaxSounds];
std::mutex DecodeMutex;
std::condition_variable DecodeChanged;
std::thread Decoder;
bool DecoderQuit = false;
bool MixerOpen = false;
bool AudioStarted = false;
int ChannelsInUse = 0;
int Started[MaxStartedPerFrame];
int StartedCount = 0;

Sound* FindSound(int handle) {
    return RecordOfHandle<SlotBits>(Sounds, handle);
}

// Runs on the audio thread, after the mixer's sum: gives back the headroom and keeps the result
// under the ceiling. The gain for a frame is the average, over Reach frames either side, of the
// lowest gain any frame within Reach of those needs; it therefore never lets a frame through too
// loud, and it falls over 2 Reach frames (1.5 ms) instead of jumping. It recovers over ~60 ms.
class Limiter {
  public:
    void Start(int channels, int rate) {
        channels_ = std::clamp(channels, 1, MaxChannels);
        release_ = 1.0 - std::exp(-1.0 / (0.06 * rate));
        gain_ = 1.0;
        at_ = 0;
        calm_ = 0;
        std::fill(std::begin(delayed_), std::end(delayed_), 0);
        std::fill(std::begin(need_), std::end(need_), 1.0);
        std::fill(std::begin(lowest_), std::end(lowest_), 1.0);
    }

    void Run(int16_t* samples, int bytes) {
        const int frames = bytes / static_cast<int>(sizeof(int16_t)) / channels_;
        for (int f = 0; f < frames; ++f) {
            int16_t* frame = samples + static_cast<ptrdiff_t>(f) * channels_;
            int peak = 0;
            for (int c = 0; c < channels_; ++c) {
                peak = std::max(peak, std::abs(static_cast<int>(frame[c])));
            }
            const double loud = MakeUp * peak;
            const double need = loud > Ceiling ? Ceiling / loud : 1.0;
            calm_ = need < 1.0 ? 0 : std::min(calm_ + 1, 2 * Window);
            need_[at_ % Window] = need;
            double target = 1.0;
            if (calm_ < 2 * Window) {
                // The frame Reach back now has its whole window of needs.
                double lowest = 1.0;
                for (const double n : need_) {
                    lowest = std::min(lowest, n);
                }
                lowest_[at_ % Window] = lowest;
                // The frame 2 Reach back has its whole window of lowest gains: it goes out now.
                double sum = 0.0;
                for (const double l : lowest_) {
                    sum += l;
                }
                target = sum / Window;
            } else {
                // Nothing near the ceiling for two windows: every gain in sight is 1.
                lowest_[at_ % Window] = 1.0;
            }
            gain_ = target < gain_ ? target : gain_ + (target - gain_) * release_;
            if (target == 1.0 && gain_ > 0.9999) {
                gain_ = 1.0;
            }
            int16_t* old = delayed_ + static_cast<ptrdiff_t>(at_ % Delay) * channels_;
            for (int c = 0; c < channels_; ++c) {
                const double out = std::round(old[c] * MakeUp * gain_);
                old[c] = frame[c];
                frame[c] = static_cast<int16_t>(std::clamp(out, -32768.0, 32767.0));
            }
            ++at_;
        }
    }

  private:
    static constexpr int MaxChannels = 8;
    static constexpr int Reach = 32;
    static constexpr int Window = 2 * Reach + 1;
    static constexpr int Delay = 2 * Reach;
    static constexpr double MakeUp = static_cast<double>(MIX_MAX_VOLUME) / HeadroomVolume;
    static constexpr double Ceiling = 29204.0; // -1 dBFS
    int channels_ = 2;
    double release_ = 0.0;
    double gain_ = 1.0;
    uint64_t at_ = 0;
    int calm_ = 0; // frames in a row that needed no gain reduction
    int16_t delayed_[Delay * MaxChannels] = {};
    double need_[Window] = {};
    double lowest_[Window] = {};
};

Limiter OutputLimiter;

void LimitOutput(void* /*unused*/, Uint8* stream, int bytes) {
    OutputLimiter.Run(reinterpret_cast<int16_t*>(stream), bytes);
}

bool OpenMixer(const char* driver) {
    if (driver != nullptr) {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogLine(1, "Sound: no audio driver %s (%s)", driver ? driver : "", SDL_GetError());
        return false;
    }
    // About 23 ms of buffer: effects start with the frame that asked for them.
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        LogLine(1, "Sound: cannot open the audio device on %s (%s)", SDL_GetCurrentAudioDriver(),
                Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    if (format == AUDIO_S16SYS) {
        OutputLimiter.Start(channels, rate);
        Mix_SetPostMix(LimitOutput, nullptr);
    }
    LogLine(1, "Sound: mixer open on the %s driver", SDL_GetCurrentAudioDriver());
    return true;
}

void StopDecoder() {
    if (Decoder.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(DecodeMutex);
            DecoderQuit = true;
        }
        DecodeChanged.notify_all();
        Decoder.join();
    }
    DecoderQuit = false;
    for (int slot = 0; slot < MaxSounds; ++slot) {
        DecodeJob& job = Jobs[slot];
        if (job.chunk != nullptr) {
            Mix_FreeChunk(job.chunk);
        }
        job = DecodeJob{};
        Sounds[slot].pending = false;
    }
}

void ReleaseSounds() {
    StopDecoder();
    if (MixerOpen) {
        Mix_HaltChannel(-1);
    }
    for (Sound& sound : Sounds) {
        if (sound.used && sound.chunk != nullptr) {
            Mix_FreeChunk(sound.chunk);
        }
        sound.chunk = nullptr;
        sound.used = false;
    }
    ChannelsInUse = 0;
    StartedCount = 0;
}

uint32_t Little32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutLittle32(unsigned char* p, uint32_t value) {
    for (int b = 0; b < 4; ++b) {
        p[b] = static_cast<unsigned char>(value >> (8 * b));
    }
}

// Reads a whole sound file. A WAV chunk that claims more bytes than the file holds is cut to what
// is there: the decoder reserves memory for the claimed length, and a damaged header of a few
// hundred bytes could otherwise ask for gigabytes.
bool ReadSoundBytes(const char* file, std::vector<unsigned char>& bytes, char* why,
                    size_t whySize) {
    if (!ReadDataFile(file, MaxSoundFileBytes, bytes, why, whySize)) {
        return false;
    }
    const size_t size = bytes.size();
    if (size >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(bytes.data() + 8, "WAVE", 4) == 0) {
        PutLittle32(&bytes[4], std::min<uint32_t>(Little32(&bytes[4]), size - 8));
        size_t at = 12;
        while (at + 8 <= size) {
            const size_t room = size - (at + 8);
            const uint32_t length = Little32(&bytes[at + 4]);
            if (length > room) {
                PutLittle32(&bytes[at + 4], static_cast<uint32_t>(room));
                break;
            }
            at += 8 + length + (length & 1);
        }
    }
    return true;
}

// MP3 (with or without its tag), Ogg and FLAC: the formats that take long to decode. Anything
// else is decoded at once, so that what is no sound at all is refused by LoadSoundFile itself.
bool LooksCompressed(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 4) {
        return false;
    }
    const unsigned char* b = bytes.data();
    return std::memcmp(b, "ID3", 3) == 0 || std::memcmp(b, "OggS", 4) == 0 ||
           std::memcmp(b, "fLaC", 4) == 0 || (b[0] == 0xFF && (b[1] & 0xE0) == 0xE0);
}

Mix_Chunk* DecodeBytes(const std::vector<unsigned char>& bytes, char* error, size_t size) {
    Mix_Chunk* chunk =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (chunk == nullptr) {
        std::snprintf(error, size, "%s", Mix_GetError());
    } else {
        Mix_VolumeChunk(chunk, HeadroomVolume);
    }
    return chunk;
}

// Runs one queued decoding with the lock released; the lock is held again on return.
void RunJob(DecodeJob& job, std::unique_lock<std::mutex>& lock) {
    job.state = DecodeJob::Working;
    const std::vector<unsigned char> bytes = std::move(job.bytes);
    job.bytes = {};
    char error[sizeof job.error] = "";
    lock.unlock();
    Mix_Chunk* chunk = DecodeBytes(bytes, error, sizeof error);
    lock.lock();
    job.chunk = chunk;
    std::memcpy(job.error, error, sizeof error);
    job.state = DecodeJob::Done;
    DecodeChanged.notify_all();
}

// The decoding thread: the queued sounds in the order they were loaded.
void DecodeQueued() {
    std::unique_lock<std::mutex> lock(DecodeMutex);
    for (;;) {
        DecodeJob* next = nullptr;
        DecodeChanged.wait(lock, [&next] {
            for (DecodeJob& job : Jobs) {
                if (job.state == DecodeJob::Queued) {
                    next = &job;
                    return true;
                }
            }
            return DecoderQuit;
        });
        if (DecoderQuit) {
            return;
        }
        RunJob(*next, lock);
    }
}

void QueueDecoding(int slot, std::vector<unsigned char>&& bytes) {
    {
        const std::lock_guard<std::mutex> lock(DecodeMutex);
        Jobs[slot].bytes = std::move(bytes);
        Jobs[slot].state = DecodeJob::Queued;
    }
    Sounds[slot].pending = true;
    if (!Decoder.joinable()) {
        // A process that ends without the engine's shutdown (the display went away and the system
        // library called exit) must not find the thread still running: that aborts with a core.
        static const bool stopAtExit = std::atexit(StopDecoder) == 0;
        (void)stopAtExit;
        Decoder = std::thread(DecodeQueued);
    }
    DecodeChanged.notify_all();
}

// Takes a finished decoding into its sound. With wait, a decoding still queued is done here and
// one under way is waited for; without, an unfinished one is left for later.
void Collect(Sound& sound, bool wait) {
    if (!sound.pending) {
        return;
    }
    const int slot = static_cast<int>(&sound - Sounds);
    DecodeJob& job = Jobs[slot];
    std::unique_lock<std::mutex> lock(DecodeMutex);
    if (wait && job.state == DecodeJob::Queued) {
        RunJob(job, lock);
    }
    if (wait) {
        DecodeChanged.wait(lock, [&job] { return job.state == DecodeJob::Done; });
    }
    if (job.state != DecodeJob::Done) {
        return;
    }
    sound.chunk = job.chunk;
    sound.pending = false;
    if (sound.chunk == nullptr) {
        LogLine(0, "LoadSoundFile: cannot load %s (%s)", sound.name, job.error);
    }
    job = DecodeJob{};
}

} // namespace

int SoundStart() {
    const char* driver = platform::AudioDriver();
    MixerOpen = OpenMixer(driver);
    if (!MixerOpen && driver == nullptr) {
        LogLine(1, "Sound: playing silently");
        MixerOpen = OpenMixer("dummy");
    }
    AudioStarted = true;
    return 0;
}

void SoundStop() {
    if (!AudioStarted) {
        return;
    }
    ReleaseSounds();
    if (MixerOpen) {
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        MixerOpen = false;
    }
    AudioStarted = false;
}

void NoteSoundStarted(int handle) {
    if (StartedCount < MaxStartedPerFrame) {
        Started[StartedCount++] = handle;
    }
}

} // namespace engine

using namespace engine;

int VolumeToCentibels(int volume) {
    if (volume <= 0) {
        return -10000;
    }
    const double cB = std::round(1000.0 * std::log10(std::min(volume, 255) / 255.0));
    return std::max(-10000, static_cast<int>(cB));
}

int CentibelsToMixerVolume(int centibels) {
    const double gain = std::pow(10.0, centibels / 2000.0);
    return std::clamp(static_cast<int>(std::lround(gain * MIX_MAX_VOLUME)), 0, MIX_MAX_VOLUME);
}

int LoadSoundFile(const char* path, int buffers, int /*unused*/) {
    ENGINE_ENTRY;
    if (!Running || path == nullptr) {
        return -1;
    }
    char file[512];
    NormalisePath(path, file, sizeof file);
    const int slot = FreeSlotOf(Sounds);
    if (slot < 0) {
        LogLine(0, "LoadSoundFile: no free sound slot for %s", file);
        return -1;
    }
    buffers = std::clamp(buffers, 1, MaxBuffers);
    Mix_Chunk* chunk = nullptr;
    if (MixerOpen) {
        std::vector<unsigned char> bytes;
        char why[128];
        if (!ReadSoundBytes(file, bytes, why, sizeof why)) {
            LogLine(0, "LoadSoundFile: cannot read %s (%s)", file, why);
            return -1;
        }
        if (LooksCompressed(bytes)) {
            QueueDecoding(slot, std::move(bytes));
        } else {
            char error[160];
            chunk = DecodeBytes(bytes, error, sizeof error);
            if (chunk == nullptr) {
                LogLine(0, "LoadSoundFile: cannot load %s (%s)", file, error);
                return -1;
            }
        }
        Mix_AllocateChannels(ChannelsInUse + buffers);
    } else {
        // Silent engine: the handle exists and plays nothing, if the file is there to be read.
        std::vector<unsigned char> bytes;
        char why[128];
        if (!ReadDataFile(file, MaxSoundFileBytes, bytes, why, sizeof why)) {
            LogLine(0, "LoadSoundFile: cannot read %s (%s)", file, why);
            return -1;
        }
    }
    Sound& sound = Sounds[slot];
    const bool pending = sound.pending; // queued for decoding just above
    sound = Sound{true, NextGeneration<SlotBits>(sound.generation), chunk};
    sound.pending = pending;
    sound.firstChannel = ChannelsInUse;
    sound.buffers = buffers;
    const size_t length = std::strlen(file);
    sound.music = length > 4 && strcasecmp(file + length - 4, ".mp3") == 0;
    ChannelsInUse += buffers;
    const char* base = std::strrchr(file, '/');
    std::snprintf(sound.name, sizeof sound.name, "%.63s", base != nullptr ? base + 1 : file);
    return HandleOf<SlotBits>(sound.generation, slot);
}

int PlaySoundHandle(int handle, int playMode, int /*fromStart*/) {
    ENGINE_ENTRY;
    Sound* sound = Running ? FindSound(handle) : nullptr;
    if (sound == nullptr) {
        return -1;
    }
    Collect(*sound, true);
    const int buffer = sound->next;
    sound->next = (sound->next + 1) % sound->buffers;
    ++sound->starts[buffer];
    NoteSoundStarted(handle);
    if (sound->chunk != nullptr) {
        // A busy buffer is stopped and restarted from the beginning.
        const int channel = sound->firstChannel + buffer;
        Mix_HaltChannel(channel);
        Mix_Volume(channel, ScaledVolume(*sound));
        Mix_PlayChannel(channel, sound->chunk, playMode == 3 ? -1 : 0);
    }
    return 0;
}

int StopSoundHandle(int handle) {
    ENGINE_ENTRY;
    Sound* sound = Running ? FindSound(handle) : nullptr;
    if (sound == nullptr) {
        return -1;
    }
    Collect(*sound, false);
    if (sound->chunk != nullptr) {
        for (int i = 0; i < sound->buffers; ++i) {
            Mix_HaltChannel(sound->firstChannel + i);
        }
    }
    return 0;
}

int SetSoundVolume(int volume, int handle) {
    ENGINE_ENTRY;
    Sound* sound = Running ? FindSound(handle) : nullptr;
    if (sound == nullptr) {
        return -1;
    }
    sound->mixerVolume = CentibelsToMixerVolume(VolumeToCentibels(volume));
    if (sound->chunk != nullptr) {
        for (int i = 0; i < sound->buffers; ++i) {
            Mix_Volume(sound->firstChannel + i, ScaledVolume(*sound));
        }
    }
    return 0;
}

int StopMusicChannel() {
    ENGINE_ENTRY;
    // The game never starts anything on the separate music channel.
    if (MixerOpen) {
        Mix_HaltMusic();
    }
    return 0;
}

int ReleaseAllSounds(int /*unused*/) {
    ENGINE_ENTRY;
    ReleaseSounds();
    return 0;
}

int GetSoundPcm(int handle, const short** samples, int* frames) {
    ENGINE_ENTRY;
    Sound* sound = FindSound(handle);
    if (sound == nullptr) {
        return -1;
    }
    Collect(*sound, true);
    if (sound->chunk == nullptr) {
        return -1;
    }
    *samples = reinterpret_cast<const short*>(sound->chunk->abuf);
    *frames = static_cast<int>(sound->chunk->alen / 4);
    return 0;
}

int GetSoundBufferStarts(int handle, int buffer) {
    ENGINE_ENTRY;
    const Sound* sound = FindSound(handle);
    if (sound == nullptr || buffer < 0 || buffer >= sound->buffers) {
        return -1;
    }
    return sound->starts[buffer];
}

int IsSoundBufferPlaying(int handle, int buffer) {
    ENGINE_ENTRY;
    Sound* sound = FindSound(handle);
    if (sound != nullptr) {
        Collect(*sound, false);
    }
    if (sound == nullptr || sound->chunk == nullptr || buffer < 0 || buffer >= sound->buffers) {
        return 0;
    }
    return Mix_Playing(sound->firstChannel + buffer) != 0 ? 1 : 0;
}

int GetSoundMixerVolume(int handle) {
    ENGINE_ENTRY;
    const Sound* sound = FindSound(handle);
    return sound != nullptr ? ScaledVolume(*sound) : -1;
}

int TakeStartedSounds(const char** names, int max) {
    ENGINE_ENTRY;
    int count = 0;
    for (int i = 0; i < StartedCount && count < max; ++i) {
        if (const Sound* sound = FindSound(Started[i])) {
            names[count++] = sound->name;
        }
    }
    StartedCount = 0;
    return count;
}

int SetVolumeScale(int musicPercent, int effectsPercent) {
    ENGINE_ENTRY;
    MusicPercent = std::clamp(musicPercent, 0, 100);
    EffectsPercent = std::clamp(effectsPercent, 0, 100);
    if (MixerOpen) {
        for (const Sound& sound : Sounds) {
            if (sound.used && sound.chunk != nullptr) {
                for (int i = 0; i < sound.buffers; ++i) {
                    Mix_Volume(sound.firstChannel + i, ScaledVolume(sound));
                }
            }
        }
    }
    return 0;
}

int PauseAllSounds(int paused) {
    ENGINE_ENTRY;
    if (!Running || !MixerOpen) {
        return Running ? 0 : -1;
    }
    if (paused != 0) {
        Mix_Pause(-1);
    } else {
        Mix_Resume(-1);
    }
    return 0;
}
