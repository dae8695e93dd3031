#include "AudioFileReader.h"

#include <sndfile.h>

#include <cstdio>
#include <vector>

namespace vsthost {

namespace {

// Closes the file on every way out.
class SoundFile {
public:
    SoundFile(const std::string& path, SF_INFO& info) : file_(sf_open(path.c_str(), SFM_READ, &info)) {}
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    ~SoundFile() {
        if (file_) sf_close(file_);
    }
    SNDFILE* get() const { return file_; }

private:
    SNDFILE* file_;
};

// libsndfile reads what there is of a cut file; its log tells, for WAV and AIFF, when the
// sample data is shorter than the file's header says: "data : 200 (should be 190)".
std::string cutShort(SNDFILE* file) {
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    std::string text(log);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if ((line.starts_with("data ") || line.starts_with("SSND ")) && line.find("(should be") != std::string::npos) {
            return line;
        }
        start = end + 1;
    }
    return {};
}

bool readable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

}  // namespace

Expected<AudioData> AudioFileReader::read(const std::string& path) {
    if (!readable(path)) return Error{"cannot read '" + path + "'"};
    SF_INFO info{};
    SoundFile file(path, info);
    if (file.get() == nullptr) {
        return Error{"'" + path + "' is not an audio file that can be read (" + sf_strerror(nullptr) + ")"};
    }
    if (info.channels < 1 || info.frames < 0) return Error{"'" + path + "' holds no channels"};
    if (const std::string cut = cutShort(file.get()); !cut.empty()) {
        return Error{"truncated audio file '" + path + "': " + cut};
    }
    const auto channels = static_cast<std::size_t>(info.channels);
    const auto frames = static_cast<std::size_t>(info.frames);
    std::vector<float> interleaved(frames * channels);
    const sf_count_t got = sf_readf_float(file.get(), interleaved.data(), info.frames);
    if (got < info.frames) {
        return Error{"truncated audio file '" + path + "': " + std::to_string(got) + " of " +
                     std::to_string(info.frames) + " frames"};
    }
    AudioData audio;
    audio.sampleRate = info.samplerate;
    audio.channels.assign(channels, std::vector<float>(frames));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (std::size_t channel = 0; channel < channels; ++channel) {
            audio.channels[channel][frame] = interleaved[frame * channels + channel];
        }
    }
    return audio;
}

}  // namespace vsthost
