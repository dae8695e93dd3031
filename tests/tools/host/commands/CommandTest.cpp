// Runs the built vsthost as a user does, on the built plug-in and on test modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cmath>
#include <filesystem>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "FileName.h"
#include "EventRecords.h"
#include "ProgramFolder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

std::string besideProgram(const char* file) { return programFolder() + "/" + file; }

const std::string kVsthostPath = besideProgram(VSTHOST_FILE);
const std::string kPluginPath = besideProgram(PLUGIN_FILE);
const std::string kNullEntryPath = besideProgram(NULL_ENTRY_FILE);
const std::string kNoEntryPath = besideProgram(NO_ENTRY_FILE);
const std::string kFaultyPluginPath = besideProgram(FAULTY_PLUGIN_FILE);
const std::string kFaultyInstrumentPath = besideProgram(FAULTY_INSTRUMENT_FILE);
const std::string kLateInstrumentPath = besideProgram(LATE_INSTRUMENT_FILE);
const std::string kCrashingPluginPath = besideProgram(CRASHING_PLUGIN_FILE);
const std::string kAbortingPluginPath = besideProgram(ABORTING_PLUGIN_FILE);
const std::string kHangingPluginPath = besideProgram(HANGING_PLUGIN_FILE);
const std::string kEntryHangingPluginPath = besideProgram(ENTRY_HANGING_PLUGIN_FILE);
const std::string kEntryCrashingPluginPath = besideProgram(ENTRY_CRASHING_PLUGIN_FILE);
const std::string kShellPluginPath = besideProgram(SHELL_PLUGIN_FILE);
const std::string kTimeProbePath = besideProgram(TIME_PROBE_FILE);
const std::string kParameterProbePath = besideProgram(PARAMETER_PROBE_FILE);
const std::string kCrashingBlockPluginPath = besideProgram(CRASHING_BLOCK_PLUGIN_FILE);
const std::string kPrintingPluginPath = besideProgram(PRINTING_PLUGIN_FILE);
const std::string kHostilePluginPath = besideProgram(HOSTILE_PLUGIN_FILE);
const std::string kForgetfulPluginPath = besideProgram(FORGETFUL_PLUGIN_FILE);
const std::string kDoublePluginPath = besideProgram(DOUBLE_PLUGIN_FILE);
const std::string kAllocatingPluginPath = besideProgram(ALLOCATING_PLUGIN_FILE);
const std::string kLockingPluginPath = besideProgram(LOCKING_PLUGIN_FILE);
const std::string kStderrPluginPath = besideProgram(STDERR_PLUGIN_FILE);
const std::string kAskingPluginPath = besideProgram(ASKING_PLUGIN_FILE);
const std::string kPreparingPluginPath = besideProgram(PREPARING_PLUGIN_FILE);
const std::string kEditorPluginPath = besideProgram(EDITOR_PLUGIN_FILE);
const std::string kLeakyEditorPluginPath = besideProgram(LEAKY_EDITOR_PLUGIN_FILE);
const std::string kScalingEditorPath = besideProgram(SCALING_EDITOR_FILE);
const std::string kScaleIgnoringEditorPath = besideProgram(SCALE_IGNORING_EDITOR_FILE);
const std::string kSilentScalingEditorPath = besideProgram(SILENT_SCALING_EDITOR_FILE);
const std::string kScratchPath = [] {
    const std::string folder = besideProgram(SCRATCH_FILE);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}();

// The per-check limit for plug-ins that never hang: one that no loaded or emulated machine
// reaches, so that these tests judge verdicts and never speed.
const char* const kUnreachedLimit = "600";

// Every verdict a validation at any level accounts for, given, failed or skipped.
constexpr int kEveryVerdict = 87;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Test programs run in parallel, so each test keeps its files in a folder of its own, emptied
// when the test first asks for it: what a run that was killed left behind changes nothing.
std::string scratch(const std::string& name) {
    static std::string emptied;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string folder = kScratchPath + "/" + test->test_suite_name() + "." + test->name();
    if (emptied != folder) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        std::filesystem::create_directories(folder, ignored);
        emptied = folder;
    }
    return folder + "/" + name;
}

std::string slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

#if defined(_WIN32)
// Shared for writing too: Wine may keep a finished child's inherited handles open a moment
// after the child has ended, and the next call must still get its own fresh files.
HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &security,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int spawn(const std::vector<std::string>& arguments, const std::string& out, const std::string& err) {
    std::string line;
    for (const auto& argument : arguments) line += "\"" + argument + "\" ";
    HANDLE outFile = inheritableFile(out);
    HANDLE errFile = inheritableFile(err);
    if (outFile == INVALID_HANDLE_VALUE || errFile == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open " << out << " or " << err << ": error " << GetLastError();
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    // Arguments are UTF-8, as the tool takes them.
    std::wstring wideLine = vsthost::FileName::wide(line);
    const BOOL started = CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(outFile);
    CloseHandle(errFile);
    if (!started) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(status);
}
#else
int spawn(const std::vector<std::string>& arguments, const std::string& out, const std::string& err) {
    const pid_t child = fork();
    if (child == 0) {
        const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFile, STDOUT_FILENO);
        dup2(errFile, STDERR_FILENO);
        std::vector<char*> argv;
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif

Outcome runVsthost(std::vector<std::string> arguments, const std::string& program = kVsthostPath) {
    arguments.insert(arguments.begin(), program);
    const std::string out = scratch("stdout.txt");
    const std::string err = scratch("stderr.txt");
    Outcome run;
    run.status = spawn(arguments, out, err);
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
}

// On Linux, the tool runs on an X server of its own, started for the run, as a user with a
// desktop runs it; Windows programs have their desktop already.
Outcome runVsthostWithWindows(std::vector<std::string> arguments) {
#if !defined(_WIN32)
    arguments.insert(arguments.begin(), {"-a", "-s", "-noreset -screen 0 1024x768x24", kVsthostPath});
    return runVsthost(arguments, "/usr/bin/xvfb-run");
#else
    return runVsthost(arguments);
#endif
}

// An environment variable set for the tool's runs while it lives, then as it was.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* before = std::getenv(name);
        if (before) before_ = before;
        set(value);
    }
    ~ScopedVariable() { set(before_ ? before_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const char* value) {
#if defined(_WIN32)
        SetEnvironmentVariableA(name_, value);
#else
        if (value) setenv(name_, value, 1);
        else unsetenv(name_);
#endif
    }

    const char* name_;
    std::optional<std::string> before_;
};

// A folder of the test's own, empty, where what a run leaves can be seen.
std::string ownFolder() {
    const std::string folder = scratch("files");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

// The temporaries vsthost writes output under before it is complete.
int temporariesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder))) {
        count += entry.path().filename().string().starts_with(".vsthost-");
    }
    return count;
}

// Bad input gives exactly one line on stderr that contains `expected`, and a nonzero status.
void expectOneLineError(const Outcome& run, const std::string& expected) {
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("vsthost: ", 0), 0u) << run.err;
}

void writePcm16(const std::string& path, int channels, const std::vector<std::int16_t>& samples,
                bool cutShort = false) {
    std::vector<std::uint8_t> bytes;
    auto put = [&](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + data, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(channels), 2);
    put(44100, 4);
    put(44100u * 2u * static_cast<std::uint32_t>(channels), 4);
    put(2u * static_cast<std::uint32_t>(channels), 2);
    put(16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(data, 4);
    for (const std::int16_t sample : samples) put(static_cast<std::uint16_t>(sample), 2);
    if (cutShort) bytes.resize(bytes.size() - 10);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::int16_t> ramp(std::size_t count) {
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<std::int16_t>(i * 37 % 65536 - 32768);
    return samples;
}

}  // namespace

TEST(VsthostInfo, ShowsTheRecordAndTheAnswers) {
    const Outcome run = runVsthost({"info", kPluginPath});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("magic            0x56737450 'VstP'"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("uniqueID         0x534D504C 'SMPL'"), std::string::npos);
    EXPECT_NE(run.out.find("numInputs        2"), std::string::npos);
    EXPECT_NE(run.out.find("canReplacing"), std::string::npos);
    EXPECT_NE(run.out.find("VST version      2400 (2.4)"), std::string::npos);
    EXPECT_NE(run.out.find("receiveVstMidiEvent"), std::string::npos);
    EXPECT_NE(run.out.find("0x00000011 (hasEditor | canReplacing)"), std::string::npos) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(VsthostInfo, TellsPinsApartByTheirProperties) {
    const Outcome run = runVsthost({"info", kFaultyPluginPath});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"version          1 (0.0.1)",
                             "input pins       2",
                             "  in 0   \"Main in\"  short \"M\"  flags active | stereo  arrangement 0",
                             "  in 1   \"Side chain\"  short \"SC\"  flags active  arrangement 0",
                             "  out 0   \"Main out\"  short \"M\"  flags active | stereo",
                             "  out 1   \"Main out\""}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
}

TEST(VsthostInfo, TracesEveryHostCall) {
    const Outcome run = runVsthost({"info", kPluginPath, "--trace"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err.rfind("trace: audioMasterVersion(1) effect=", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("-> 2400"), std::string::npos);
}

// Whether `text` is one JSON value and nothing more, as a reader such as jq takes it.
class JsonCheck {
public:
    static bool valid(const std::string& text) {
        JsonCheck check(text);
        return check.value() && (check.space(), check.at_ == text.size());
    }

private:
    explicit JsonCheck(const std::string& text) : text_(text) {}
    void space() {
        while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) ++at_;
    }
    bool take(char c) {
        space();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool word(const std::string& expected) {
        if (text_.compare(at_, expected.size(), expected) != 0) return false;
        at_ += expected.size();
        return true;
    }
    bool string() {
        if (!take('"')) return false;
        for (; at_ < text_.size() && text_[at_] != '"'; ++at_) {
            if (static_cast<unsigned char>(text_[at_]) < 0x20) return false;
            if (text_[at_] == '\\' && std::string("\"\\/bfnrtu").find(text_[++at_]) == std::string::npos) return false;
        }
        return at_++ < text_.size();
    }
    bool number() {
        const std::size_t start = at_;
        while (at_ < text_.size() && std::string("-+.eE0123456789").find(text_[at_]) != std::string::npos) ++at_;
        return at_ > start;
    }
    template <class Member>
    bool sequence(char close, Member member) {
        if (take(close)) return true;
        do {
            if (!member()) return false;
        } while (take(','));
        return take(close);
    }
    bool value() {
        space();
        if (at_ >= text_.size()) return false;
        if (take('{')) return sequence('}', [this] { return string() && take(':') && value(); });
        if (take('[')) return sequence(']', [this] { return value(); });
        if (text_[at_] == '"') return string();
        return word("true") || word("false") || word("null") || number();
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

// A shell names its members; --shell opens each, and the audio shows which one ran.
TEST(VsthostInfo, ListsAShellsMembersAndOpensTheOneShellNames) {
    const Outcome info = runVsthost({"info", kShellPluginPath});
    ASSERT_EQ(info.status, 0) << info.err;
    for (const char* line : {"shell members    2 (a shell: pick one with --shell ID)",
                             "  'tSh1' 1951623217        \"Pass Through\"", "  'tSh2' 1951623218        \"Half\""}) {
        EXPECT_NE(info.out.find(line), std::string::npos) << line << "\n" << info.out;
    }
    const Outcome half = runVsthost({"info", kShellPluginPath, "--shell", "1951623218"});
    EXPECT_NE(half.out.find("effect name      \"Half\""), std::string::npos) << half.out << half.err;
    EXPECT_EQ(half.out.find("shell members"), std::string::npos);

    const std::string in = scratch("in.wav");
    writePcm16(in, 2, ramp(2 * 300));
    auto input = vsthost::AudioFileReader::read(in);
    ASSERT_TRUE(input);
    for (const auto& [member, gain] : std::vector<std::pair<std::string, float>>{{"tSh1", 1.0f}, {"tSh2", 0.5f}}) {
        const std::string out = scratch(member + ".wav");
        const Outcome run = runVsthost({"process", kShellPluginPath, in, out, "--shell", member});
        ASSERT_EQ(run.status, 0) << run.err;
        auto output = vsthost::AudioFileReader::read(out);
        ASSERT_TRUE(output);
        ASSERT_EQ(output->frames(), input->frames());
        for (std::size_t frame = 0; frame < input->frames(); frame += 37) {
            EXPECT_EQ(output->channels[1][frame], input->channels[1][frame] * gain) << member << " at " << frame;
        }
    }
    expectOneLineError(runVsthost({"process", kShellPluginPath, in, scratch("none.wav")}),
                       "is a shell of 2 plug-ins: pick one with --shell ID ('tSh1' 1951623217 \"Pass Through\"");
    expectOneLineError(runVsthost({"validate", kShellPluginPath, "--shell", "tSh3"}),
                       "holds no plug-in 'tSh3' 1951623219; it holds 'tSh1'");
    expectOneLineError(runVsthost({"info", kPluginPath, "--shell", "tSh1"}), "is no shell");
}

TEST(VsthostInfo, PrintsOneJsonDocument) {
    const Outcome run = runVsthost({"info", kShellPluginPath, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(JsonCheck::valid(run.out)) << run.out;
    for (const char* field : {"\"uniqueIdText\":\"tShl\"", "\"effectName\":\"Shell of Two\"", "\"numInputs\":2",
                              "\"categoryName\":\"shell\"", "\"shellMembers\":[{\"uniqueId\":1951623217,"
                              "\"uniqueIdText\":\"tSh1\",\"name\":\"Pass Through\"},"}) {
        EXPECT_NE(run.out.find(field), std::string::npos) << field << "\n" << run.out;
    }
}

// Every library in the folder is named with what it is or what broke it, and the scan goes on.
TEST(VsthostScan, NamesEveryLibraryAndWhatBrokeTheBrokenOnes) {
    const std::string folder = ownFolder();
    const std::string suffix = std::filesystem::path(kPluginPath).extension().string();
    std::filesystem::create_directories(folder + "/deeper");
    const std::vector<std::pair<std::string, std::string>> copies = {
        {kPluginPath, "plugin"}, {kShellPluginPath, "deeper/shell"}, {kEntryCrashingPluginPath, "crashing"},
        {kEntryHangingPluginPath, "hanging"}, {kNullEntryPath, "null"}, {kNoEntryPath, "no-entry"}};
    for (const auto& [from, name] : copies) std::filesystem::copy_file(from, folder + "/" + name + suffix);
    std::ofstream(folder + "/text" + suffix) << "no library\n";
    std::ofstream(folder + "/readme.txt") << "no library either, and no candidate\n";

    const Outcome text = runVsthost({"scan", folder, "--timeout", "10"});
    ASSERT_EQ(text.status, 0) << text.err;
    const auto lineOf = [&](const std::string& name) {
        const std::size_t at = text.out.find(std::filesystem::path(folder + "/" + name + suffix).make_preferred().string());
        return at == std::string::npos ? std::string() : text.out.substr(at, text.out.find('\n', at) - at);
    };
    EXPECT_NE(lineOf("plugin").find("id 'SMPL' 1397575756  effect  2 in 2 out  2 parameters  editor yes"), std::string::npos)
        << text.out;
    EXPECT_NE(lineOf("deeper/shell").find("\"Shell of Two\"  vendor \"Lanter5 Tests\"  id 'tShl'"), std::string::npos);
    EXPECT_NE(text.out.find("\n    member 'tSh2' 1951623218  \"Half\""), std::string::npos) << text.out;
    EXPECT_NE(lineOf("crashing").find("failed: the plug-in crashed"), std::string::npos) << text.out;
    EXPECT_NE(lineOf("hanging").find("failed: the plug-in hung"), std::string::npos) << text.out;
    EXPECT_NE(lineOf("null").find("failed: the plug-in's entry point answered null"), std::string::npos);
    EXPECT_NE(lineOf("no-entry").find("failed: "), std::string::npos);
    EXPECT_NE(lineOf("text").find("is not a loadable plug-in"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("7 libraries: 2 inspected, 5 failed, 0 not inspected"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("readme"), std::string::npos);

    const Outcome json = runVsthost({"scan", folder, "--timeout", "10", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(JsonCheck::valid(json.out)) << json.out;
    for (const char* field : {"\"kind\":\"shell\"", "\"members\":[{\"uniqueId\":1951623217,\"uniqueIdText\":\"tSh1\"",
                              "\"status\":\"failed\",\"problem\":\"the plug-in crashed", "\"editor\":true",
                              "\"summary\":{\"libraries\":7,\"inspected\":2,\"failed\":5,\"notInspected\":0}"}) {
        EXPECT_NE(json.out.find(field), std::string::npos) << field << "\n" << json.out;
    }
    const Outcome missing = runVsthost({"scan", folder + "/no-such-folder"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("vsthost: no such folder", 0), 0u) << missing.err;
}

TEST(VsthostBadInput, RefusesWhatIsNoPlugin) {
    expectOneLineError(runVsthost({"info", scratch("nothing-here.dll")}), "cannot find plug-in");
    const std::string text = scratch("text.dll");
    std::ofstream(text) << "this is no library\n";
    expectOneLineError(runVsthost({"info", text}), "is not a loadable plug-in");
    expectOneLineError(runVsthost({"validate", kNoEntryPath}), "exports neither VSTPluginMain nor main");
    expectOneLineError(runVsthost({"info", kNullEntryPath}), "entry point answered null");
    expectOneLineError(runVsthost({"validate", kPluginPath, "--level", "9"}), "--level wants 1 (normal)");
    // Options no user can mean: an empty value, and the child processes' own.
    for (const auto& [arguments, expected] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"process", kPluginPath, "in.wav", "out.wav", "--midi", ""}, "option --midi needs a value"},
             {{"info", kPluginPath, "--child", "process"}, "--child and --channel are for the child processes"},
             {{"process", kPluginPath, "in.wav", "out.wav", "--child", "process"}, "--child and --channel are"}}) {
        const Outcome run = runVsthost(arguments);
        EXPECT_EQ(run.status, 2) << expected;
        EXPECT_EQ(run.err.rfind("vsthost: " + expected, 0), 0u) << run.err;
    }
    const Outcome unknown = runVsthost({"frobnicate", kPluginPath});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("vsthost: unknown command 'frobnicate'", 0), 0u) << unknown.err;
    EXPECT_NE(unknown.err.find("usage: vsthost COMMAND"), std::string::npos);
}

TEST(VsthostProcess, StreamsAFileThroughThePlugin) {
    const std::string in = scratch("stereo16.wav");
    const std::string out = scratch("stereo-out.wav");
    const auto samples = ramp(2 * 1000);
    writePcm16(in, 2, samples);
    const Outcome run = runVsthost({"process", kPluginPath, in, out, "--block", "64", "--rate", "48000"});
    ASSERT_EQ(run.status, 0) << run.err;
    auto input = vsthost::AudioFileReader::read(in);
    auto output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(input && output);
    EXPECT_EQ(output->sampleRate, 48000);
    ASSERT_EQ(output->channels.size(), 2u);
    EXPECT_EQ(output->channels, input->channels) << "the last, shorter block included";
    const std::string header = slurp(out).substr(20, 2);
    EXPECT_EQ(header, std::string("\x03\x00", 2)) << "output is 32-bit float";
}

// Channel counts that differ are said on stderr; --map chooses how channels reach inputs.
TEST(VsthostProcess, MapsChannelsToInputsAndSaysSo) {
    const std::string mono = scratch("mono16.wav");
    const std::string out = scratch("mapped-out.wav");
    writePcm16(mono, 1, ramp(777));
    const Outcome fed = runVsthost({"process", kPluginPath, mono, out});
    ASSERT_EQ(fed.status, 0) << fed.err;
    EXPECT_NE(fed.err.find("vsthost: the file has 1 channel, the plug-in 2 inputs; --map repeat"),
              std::string::npos) << fed.err;
    auto input = vsthost::AudioFileReader::read(mono);
    auto output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(input && output);
    ASSERT_EQ(output->channels.size(), 2u);
    EXPECT_EQ(output->channels[0], input->channels[0]);
    EXPECT_EQ(output->channels[1], input->channels[0]);

    const std::string three = scratch("three16.wav");
    writePcm16(three, 3, ramp(3 * 500));
    input = vsthost::AudioFileReader::read(three);
    ASSERT_TRUE(input);
    const Outcome mixed = runVsthost({"process", kPluginPath, three, out});
    ASSERT_EQ(mixed.status, 0) << mixed.err;
    EXPECT_NE(mixed.err.find("the file has 3 channels, the plug-in 2 inputs; --map mix"), std::string::npos)
        << mixed.err;
    output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(output);
    EXPECT_FLOAT_EQ(output->channels[0][7], (input->channels[0][7] + input->channels[2][7]) / 2);
    EXPECT_EQ(output->channels[1], input->channels[1]);

    const Outcome direct = runVsthost({"process", kPluginPath, three, out, "--map", "direct"});
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_NE(direct.err.find("--map direct: channels beyond 2 are dropped"), std::string::npos) << direct.err;
    output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(output);
    EXPECT_EQ(output->channels[0], input->channels[0]);
    expectOneLineError(runVsthost({"process", kPluginPath, three, out, "--map", "sideways"}),
                       "--map wants auto, direct, repeat or mix");
}

// A Standard MIDI File of format 1, 480 ticks a quarter note: each track its events at
// absolute ticks, written with delta times and ended where the last event says.
struct TrackEvent {
    std::uint32_t ticks;
    std::vector<std::uint8_t> bytes;
};

void writeMidiFile(const std::string& path, const std::vector<std::vector<TrackEvent>>& tracks) {
    std::string file = std::string("MThd\0\0\0\6\0\1\0", 11) + static_cast<char>(tracks.size()) + "\1\xE0";
    auto put32 = [](std::string& to, std::size_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) to += static_cast<char>(value >> shift);
    };
    for (const auto& track : tracks) {
        std::string data;
        std::uint32_t now = 0;
        for (const auto& event : track) {
            const std::uint32_t delta = event.ticks - now;
            now = event.ticks;
            for (int shift = 21; shift > 0; shift -= 7) {
                if (delta >> shift) data += static_cast<char>(0x80 | (delta >> shift & 0x7F));
            }
            data += static_cast<char>(delta & 0x7F);
            data.append(event.bytes.begin(), event.bytes.end());
        }
        file += "MTrk";
        put32(file, data.size());
        file += data;
    }
    std::ofstream(path, std::ios::binary) << file;
}

// The musical time the test expects, computed from a tempo map and meters of its own.
struct MusicMap {
    struct Tempo {
        double beat;
        double bpm;
    };
    struct Meter {
        double beat;
        int numerator;
        int denominator;
    };
    std::vector<Tempo> tempos;
    std::vector<Meter> meters;

    // The quarter note at `seconds`, and the tempo there.
    std::pair<double, double> beatAndTempoAt(double seconds) const {
        double start = 0;
        std::size_t i = 0;
        for (; i + 1 < tempos.size(); ++i) {
            const double next = start + (tempos[i + 1].beat - tempos[i].beat) * 60 / tempos[i].bpm;
            if (next > seconds) break;
            start = next;
        }
        return {tempos[i].beat + (seconds - start) * tempos[i].bpm / 60, tempos[i].bpm};
    }
    const Meter& meterAt(double beat) const {
        std::size_t i = 0;
        while (i + 1 < meters.size() && meters[i + 1].beat <= beat + 1e-9) ++i;
        return meters[i];
    }
    double barStart(double beat) const {
        const Meter& meter = meterAt(beat);
        const double bar = meter.numerator * 4.0 / meter.denominator;
        return meter.beat + std::floor((beat - meter.beat) / bar + 1e-9) * bar;
    }
};

// The time probe writes, per frame, what audioMasterGetTime told it for the block.
enum ProbeChannel { kSamplePos, kPpqPos, kTempo, kBarStartPos, kNumerator, kDenominator, kFlags, kNoteOns };

// Per block: frames, quarter notes, tempo, bar and meter as the map says; the asked fields
// marked valid and nothing else claimed; and each note-on at its frame.
TEST(VsthostProcess, TellsAPluginTheMusicalTimeOfEveryBlock) {
    constexpr int kRate = 8000;
    constexpr int kBlock = 250;
    // 120 quarter notes a minute for 6 quarters (3 s), then 100; 4/4, then 3/4 from quarter 4,
    // so the tempo changes in the middle of a bar. It ends at quarter 12: 6.6 s. A name, a
    // key signature, a system exclusive message and a program change come along, as in most files.
    const std::string song = scratch("song.mid");
    writeMidiFile(song, {{{0, {0xFF, 0x03, 4, 'S', 'o', 'n', 'g'}},
                          {0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}},
                          {0, {0xFF, 0x59, 2, 1, 0}},
                          {1920, {0xFF, 0x58, 4, 3, 2, 24, 8}},
                          {2880, {0xFF, 0x51, 3, 0x09, 0x27, 0xC0}},
                          {5760, {0xFF, 0x2F, 0}}},
                         {{0, {0xF0, 3, 0x7E, 0x7F, 0xF7}}, {0, {0xC0, 5}}, {480, {0x90, 60, 100}}, {720, {60, 0}},
                          {3840, {0x90, 64, 90}}, {4320, {0x80, 64, 0}}, {4320, {0xFF, 0x2F, 0}}}});
    // A file that sets no tempo plays at 120.
    const std::string plain = scratch("plain.mid");
    writeMidiFile(plain, {{{480, {0x90, 62, 100}}, {960, {0x80, 62, 0}}, {960, {0xFF, 0x2F, 0}}}});
    const std::string silence = scratch("silence.wav");
    writePcm16(silence, 1, std::vector<std::int16_t>(20'000));
    // So wide that a block of it is read in pieces: the plug-in still gets whole blocks.
    const std::string wide = scratch("wide.wav");
    writePcm16(wide, 300, std::vector<std::int16_t>(300 * 2'000));
    const std::string out = scratch("time.wav");
    const std::vector<std::string> rate = {"--block", std::to_string(kBlock), "--rate", std::to_string(kRate)};
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        MusicMap map;
        std::size_t frames;
        std::vector<std::pair<std::size_t, float>> noteOns;  // frame, key
    } cases[] = {
        {"the song",
         {"process", kTimeProbePath, out, "--midi", song, "--tail", "0"},
         {{{0, 120}, {6, 100}}, {{0, 4, 4}, {4, 3, 4}}},
         52'800,
         {{4'000, 60.0f}, {33'600, 64.0f}}},  // quarter 1 at 0.5 s, quarter 8 at 4.2 s
        {"a song without a tempo",
         {"process", kTimeProbePath, out, "--midi", plain, "--tail", "0"},
         {{{0, 120}}, {{0, 4, 4}}},
         8'000,
         {{4'000, 62.0f}}},
        {"steady 90, 7/8",
         {"process", kTimeProbePath, silence, out, "--tempo", "90", "--meter", "7/8"},
         {{{0, 90}}, {{0, 7, 8}}},
         20'000,
         {}},
        {"300 channels",
         {"process", kTimeProbePath, wide, out, "--tempo", "90", "--meter", "7/8"},
         {{{0, 90}}, {{0, 7, 8}}},
         2'000,
         {}},
    };
    const VstInt32 asked = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    const VstInt32 unasked = kVstNanosValid | kVstCyclePosValid | kVstSmpteValid | kVstClockValid;
    for (const auto& run : cases) {
        auto arguments = run.arguments;
        arguments.insert(arguments.end(), rate.begin(), rate.end());
        const Outcome done = runVsthost(arguments);
        ASSERT_EQ(done.status, 0) << done.err;
        const auto output = vsthost::AudioFileReader::read(out);
        ASSERT_TRUE(output);
        ASSERT_EQ(output->channels.size(), 8u);
        ASSERT_EQ(output->frames(), run.frames) << run.name;
        for (std::size_t frame = 0; frame < run.frames; frame += kBlock) {
            auto time = [&](ProbeChannel channel) { return static_cast<double>(output->channels[channel][frame]); };
            const auto [beat, tempo] = run.map.beatAndTempoAt(static_cast<double>(frame) / kRate);
            const auto& meter = run.map.meterAt(beat);
            SCOPED_TRACE(std::string(run.name) + ", block at frame " + std::to_string(frame));
            EXPECT_EQ(time(kSamplePos), static_cast<double>(frame));
            EXPECT_NEAR(time(kPpqPos), beat, 1e-4);
            EXPECT_NEAR(time(kTempo), tempo, 1e-4);
            EXPECT_NEAR(time(kBarStartPos), run.map.barStart(beat), 1e-4);
            EXPECT_EQ(time(kNumerator), meter.numerator);
            EXPECT_EQ(time(kDenominator), meter.denominator);
            const auto flags = static_cast<VstInt32>(time(kFlags));
            EXPECT_EQ(flags & asked, asked);
            EXPECT_EQ(flags & unasked, 0);
            EXPECT_TRUE(flags & kVstTransportPlaying);
            EXPECT_EQ((flags & kVstTransportChanged) != 0, frame == 0);
        }
        std::vector<std::pair<std::size_t, float>> noteOns;
        for (std::size_t frame = 0; frame < run.frames; ++frame) {
            if (const float key = output->channels[kNoteOns][frame]; key != 0) noteOns.emplace_back(frame, key);
        }
        EXPECT_EQ(noteOns, run.noteOns) << run.name;
    }

    // A song cut short after the first note of its second track is refused in one line, and
    // nothing is written.
    const std::string cut = scratch("cut.mid");
    std::ofstream(cut, std::ios::binary) << slurp(song).substr(0, 87);
    std::remove(out.c_str());
    expectOneLineError(runVsthost({"process", kTimeProbePath, out, "--midi", cut}), cut);
    EXPECT_FALSE(fileExists(out));
}

// The parameter probe's third output: its "Level" as each frame was processed.
std::vector<float> probedLevel(const std::string& path) {
    const auto output = vsthost::AudioFileReader::read(path);
    return output && output->channels.size() == 3 ? output->channels[2] : std::vector<float>();
}

// --param by index or name, a number or a text the plug-in reads; what it cannot set is refused
// in one line before the first block, with status 2 and no output.
TEST(VsthostProcess, SetsParametersByNameOrIndexAndRefusesWhatItCannot) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, ramp(2 * 300));
    const struct {
        const char* setting;
        float level;
    } settings[] = {{"level=0.25", 0.25f}, {"0=1", 1.0f}, {"LEVEL=-6 dB", 0.9f}, {"level=text:-30 dB", 0.5f},
                    {"1=text:0", 0.0f}};
    for (const auto& setting : settings) {
        const Outcome run = runVsthost({"process", kParameterProbePath, "--param", setting.setting, in, out});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(probedLevel(out), std::vector<float>(300, setting.level)) << setting.setting;
    }
    std::remove(out.c_str());
    const struct {
        const char* setting;
        const char* error;
    } refused[] = {
        {"drive=0.5", "--param drive=0.5: 'drive' is ambiguous: parameters 1 and 2 have that name; give the index"},
        {"volume=0.5", "--param volume=0.5: no parameter named 'volume'"},
        {"3=0.5", "--param 3=0.5: no parameter 3: the plug-in has 3"},
        {"level=1.5", "--param level=1.5: a number must lie from 0 to 1"},
        {"level=loud", "--param level=loud: the plug-in does not take \"loud\" for parameter 0 'Level'"},
        {"level", "--param wants NAME=VALUE, not 'level'"},
        {"1=text:50", "--param 1=text:50: the plug-in does not take \"50\" for parameter 1 'Drive'"},
    };
    for (const auto& setting : refused) {
        const Outcome run = runVsthost({"process", kParameterProbePath, "--param", setting.setting, in, out});
        expectOneLineError(run, setting.error);
        EXPECT_EQ(run.status, 2) << setting.setting;
        EXPECT_FALSE(fileExists(out)) << setting.setting;
    }
}

// An automation file's points land on their very frames, inside blocks of the host: a step at
// its frame, a ramp set every 32 frames on its straight line; --trace shows each set.
TEST(VsthostProcess, AutomatesAParameterOnItsVeryFrame) {
    constexpr int kRate = 8000;
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    const std::string points = scratch("level.txt");
    writePcm16(in, 2, ramp(2 * 8000));
    // At 120 a minute, bar 1 beat 2 and half a beat is 0.75 s: frame 6000.
    std::ofstream(points) << "# steps and a ramp\n"
                             "0       Level  0\n"
                             "1000    level  0.75   # inside the second block\n"
                             "\n"
                             "0.5s    0      0.2  ramp\n"
                             "1.2.480 Level  1\n";
    const Outcome run = runVsthost({"process", kParameterProbePath, in, out, "--automation", points, "--block",
                                    "512", "--rate", std::to_string(kRate), "--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string set = "automation: link 1, frame 1000, parameter 0 = 0.75";
    const auto traced = run.err.find(set);
    ASSERT_NE(traced, std::string::npos) << run.err;
    EXPECT_TRUE(std::isspace(static_cast<unsigned char>(run.err[traced + set.size()])));
    const auto level = probedLevel(out);
    ASSERT_EQ(level.size(), 8000u);
    for (std::size_t frame = 0; frame < level.size(); ++frame) {
        float expected = frame < 1000 ? 0.0f : frame < 4000 ? 0.75f : 1.0f;
        if (frame >= 4000 && frame < 6000) {
            const std::size_t granule = (frame - 4000) / 32 * 32;
            expected = static_cast<float>(0.2f + (1.0f - 0.2f) * (static_cast<double>(granule) / 2000));
        }
        ASSERT_FLOAT_EQ(level[frame], expected) << "frame " << frame;
    }

    std::ofstream(points) << "0 Level 0\n1.5 Level 1\n";
    const Outcome untimed = runVsthost({"process", kParameterProbePath, in, out, "--automation", points});
    expectOneLineError(untimed, points + ":2: the time must be seconds (1.5s), frames (48000) or bar.beat.tick");
    EXPECT_EQ(untimed.status, 2);
    std::ofstream(points) << "0 Level 0\n\n2s Lvl 1\n";
    const Outcome unknown = runVsthost({"process", kParameterProbePath, in, out, "--automation", points});
    expectOneLineError(unknown, points + ":3: no parameter named 'Lvl'");
    EXPECT_EQ(unknown.status, 2);
}

// Plug-ins in a chain, each with its own settings, one render in one child; a crash names
// the link and the block.
TEST(VsthostProcess, RendersAChainAndNamesTheLinkThatCrashes) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, ramp(2 * 700));
    Outcome run = runVsthost({"process", kParameterProbePath, "--param", "level=0.5", "+", kPluginPath, "+",
                              kParameterProbePath, "--param", "level=0.25", in, out, "--map", "direct", "--block",
                              "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("link 1 has 3 channels, link 2 2 inputs; --map direct: channels beyond 2 are dropped"), std::string::npos) << run.err;
    const auto input = vsthost::AudioFileReader::read(in);
    const auto output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(input && output);
    ASSERT_EQ(output->channels.size(), 3u);
    EXPECT_EQ(output->channels[0], input->channels[0]);
    EXPECT_EQ(output->channels[1], input->channels[1]);
    EXPECT_EQ(output->channels[2], std::vector<float>(700, 0.25f));

    std::remove(out.c_str());
    run = runVsthost({"process", kPluginPath, "+", kCrashingBlockPluginPath, "+", kPluginPath, in, out});
    expectOneLineError(run, ", in step \"block 1, frames 0 to 511, link 2 (" + kCrashingBlockPluginPath + ")\"");
    EXPECT_EQ(run.err.rfind("vsthost: the plug-in crashed: ", 0), 0u) << run.err;
    EXPECT_FALSE(fileExists(out));
}

// --double calls processDoubleReplacing where the plug-in has it, bit-exact through it; a
// plug-in without it is refused by its link.
TEST(VsthostProcess, ProcessesInDoublePrecisionWhereThePluginCan) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, ramp(2 * 900));
    const Outcome run = runVsthost({"process", kParameterProbePath, "--param", "level=0.5", in, out, "--double"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto input = vsthost::AudioFileReader::read(in);
    const auto output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(input && output);
    EXPECT_EQ(output->channels[0], input->channels[0]);
    EXPECT_EQ(output->channels[1], input->channels[1]);
    EXPECT_EQ(probedLevel(out), std::vector<float>(900, -0.5f)) << "the double entry negates";
    std::remove(out.c_str());
    const Outcome refused = runVsthost({"process", kParameterProbePath, "+", kPluginPath, in, out, "--double"});
    expectOneLineError(refused, "--double: link 2 (" + kPluginPath + ") cannot process doubles");
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(fileExists(out));
}

#if !defined(_WIN32)
// A long render shows its progress on a terminal, and nothing where stderr is a file.
TEST(VsthostProcess, ShowsProgressOnlyOnATerminal) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, std::vector<std::int16_t>(2 * 44100 * 6));
    const std::vector<std::string> render = {"process", kPluginPath, in, out};
    const Outcome piped = runVsthost(render);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.err, "");
    std::string command = kVsthostPath;
    for (std::size_t i = 0; i < render.size(); ++i) command += " '" + render[i] + "'";
    const Outcome terminal = runVsthost({"-qec", command, "/dev/null"}, "/usr/bin/script");
    ASSERT_EQ(terminal.status, 0) << terminal.out;
    EXPECT_NE(terminal.out.find("\r\x1B[K264600 of 264600 frames (100%)"), std::string::npos) << terminal.out;
    EXPECT_NE(terminal.out.find("x real time"), std::string::npos) << terminal.out;
}
#endif

// The crash guard of validate: the plug-in aborting in a block is named with the block, and
// no output file is left.
TEST(VsthostProcess, ReportsAPluginThatAbortsAndLeavesNoOutput) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("aborted.wav");
    std::remove(out.c_str());
    writePcm16(in, 2, ramp(2 * 100));
    expectOneLineError(runVsthost({"process", kAbortingPluginPath, in, out, "--block", "31"}),
                       "vsthost: the plug-in crashed: abort (SIGABRT), in step \"block 1, frames 0 to 30\"");
    EXPECT_FALSE(fileExists(out));
}

TEST(VsthostProcess, LeavesNoOutputForBadInputOrAnUnwritablePath) {
    const std::string out = scratch("never.wav");
    std::remove(out.c_str());
    const std::string truncated = scratch("truncated.wav");
    writePcm16(truncated, 2, ramp(100), true);
    expectOneLineError(runVsthost({"process", kPluginPath, truncated, out}), "truncated audio file");
    expectOneLineError(runVsthost({"process", kPluginPath, scratch("absent.wav"), out}), "cannot read");
    expectOneLineError(runVsthost({"process", kPluginPath, kPluginPath, out}), "is not an audio file");
    EXPECT_FALSE(fileExists(out));

    const std::string good = scratch("good.wav");
    writePcm16(good, 2, ramp(100));
    const std::string unwritable = scratch("no-such-directory/out.wav");
    expectOneLineError(runVsthost({"process", kPluginPath, good, unwritable}), "cannot write");
    expectOneLineError(runVsthost({"process", kPluginPath, good, kScratchPath}), "it is a directory");
    EXPECT_FALSE(fileExists(unwritable));
    EXPECT_EQ(runVsthost({"process", kPluginPath, good, out, "--block", "0"}).status, 2);
    EXPECT_FALSE(fileExists(out));

    // The temporary has a short name of its own, so that any name the system takes will do,
    // and none is left whether the plug-in succeeds or crashes; after "--" a name may start
    // with dashes.
    const std::string folder = ownFolder();
    const std::string dashed = "--vsthost-test-dashed.wav";  // in the working folder
    const Outcome run = runVsthost({"process", kPluginPath, "--", good, dashed});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dashed));
    std::remove(dashed.c_str());
    const std::string longest = folder + "/" + std::string(251, 'n') + ".wav";
    const Outcome longName = runVsthost({"process", kPluginPath, good, longest});
    EXPECT_EQ(longName.status, 0) << longName.err;
    EXPECT_TRUE(fileExists(longest));
    const std::string crashed = folder + "/crashed.wav";
    EXPECT_EQ(runVsthost({"process", kCrashingPluginPath, good, crashed, "--block", "31"}).status, 1);
    EXPECT_FALSE(fileExists(crashed));
    EXPECT_EQ(temporariesIn(folder), 0);

    // An output that is one of the run's inputs is refused before anything is written: the
    // plug-in under test would be overwritten while it is mapped.
    const std::string plugin = folder + "/copy-" + std::filesystem::path(kPluginPath).filename().string();
    std::filesystem::copy_file(kPluginPath, plugin);
    const std::string before = slurp(plugin);
    expectOneLineError(runVsthost({"validate", plugin, "--junit", plugin}), "is what this run reads");
    expectOneLineError(runVsthost({"process", plugin, good, good}), "is what this run reads");
    expectOneLineError(runVsthost({"process", plugin, good, plugin}), "is what this run reads");
    // The same file by another spelling is the same file.
    const std::filesystem::path goodPath(good);
    const std::string sameAsGood = (goodPath.parent_path() / "." / goodPath.filename()).string();
    expectOneLineError(runVsthost({"process", plugin, good, sameAsGood}), "is what this run reads");
    EXPECT_EQ(slurp(plugin), before);
    EXPECT_EQ(slurp(good).size(), 44u + 200u);
}

// A WAV file as a recorder streams it: both lengths left at their largest, "until the end".
std::string openLength(std::string wav) {
    wav.replace(4, 4, "\xFF\xFF\xFF\xFF");
    wav.replace(40, 4, "\xFF\xFF\xFF\xFF");
    return wav;
}

#if !defined(_WIN32)
// Writes `bytes` into the named pipe once a reader opens it, then holds it open `holdSeconds`
// longer. Without a reader it gives up after 30 s: a run that never reads cannot hang the test.
std::thread feedPipe(const std::string& pipe, const std::string& bytes, int holdSeconds = 0) {
    return std::thread([=] {
        for (int tries = 0; tries < 3000; ++tries) {
            const int descriptor = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (descriptor < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            fcntl(descriptor, F_SETFL, 0);
            EXPECT_EQ(write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            std::this_thread::sleep_for(std::chrono::seconds(holdSeconds));
            close(descriptor);
            return;
        }
    });
}
#else
std::thread feedPipe(const std::string&, const std::string&) { return std::thread(); }
#endif

// Input is read block by block to its end, whatever its header says of its length; a render
// longer than a day is refused in one line, before it starts where its length is known.
TEST(VsthostProcess, ReadsInputToItsEndAndRefusesRendersLongerThanADay) {
    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, ramp(2 * 3000));
    const std::string streamed = openLength(slurp(in));
    const std::string stored = scratch("open.wav");
    std::ofstream(stored, std::ios::binary) << streamed;
    std::vector<std::string> sources = {stored};
#if !defined(_WIN32)
    const std::string pipe = scratch("pipe.wav");
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    sources.push_back(pipe);
#endif
    for (const auto& source : sources) {
        std::thread feeder = source == stored ? std::thread() : feedPipe(source, streamed);
        const Outcome run = runVsthost({"process", kPluginPath, source, out, "--rate", "48000"});
        if (feeder.joinable()) feeder.join();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("44100 Hz samples are played at 48000 Hz"), std::string::npos) << run.err;
        const auto output = vsthost::AudioFileReader::read(out);
        ASSERT_TRUE(output) << output.error();
        EXPECT_EQ(output->frames(), 3000u) << source;
        EXPECT_EQ(output->sampleRate, 48000);
    }

#if !defined(_WIN32)
    // A pipe that stalls holds up the host in its own reading, not the plug-in.
    std::thread stalled = feedPipe(pipe, streamed.substr(0, 44 + 4 * 600), 3);
    expectOneLineError(runVsthost({"process", kPluginPath, pipe, out, "--timeout", "1"}),
                       "vsthost itself hung: no answer within 1 s, "
                       "in its own step \"writing block 1, reading block 2\"");
    stalled.join();
#endif

    std::remove(out.c_str());
    const std::string distant = scratch("far.mid");
    writeMidiFile(distant, {{{0x0FFFFFFF, {0x90, 60, 100}}, {0x0FFFFFFF, {0xFF, 0x2F, 0}}}});
    expectOneLineError(runVsthost({"process", kFaultyInstrumentPath, out, "--midi", distant}),
                       "the render would last 77:40:23; vsthost renders at most 24:00:00");
    // At one frame a second a day is 86400 frames.
    const std::string day = scratch("day.wav");
    writePcm16(day, 2, ramp(2 * 86401));
    std::string oneHertz = slurp(day);
    oneHertz.replace(24, 8, std::string("\1\0\0\0\4\0\0\0", 8));
    std::ofstream(day, std::ios::binary) << oneHertz;
    expectOneLineError(runVsthost({"process", kPluginPath, day, out}),
                       "the render would last 24:00:01; vsthost renders at most 24:00:00");
    std::ofstream(day, std::ios::binary) << openLength(oneHertz);
    expectOneLineError(runVsthost({"process", kPluginPath, day, out}),
                       "the input lasts longer than 24:00:00, the most vsthost renders");
    EXPECT_FALSE(fileExists(out));
}

struct Tally {
    int passed = -1;
    int failed = -1;
    int skipped = -1;
    int total() const { return passed + failed + skipped; }
};

// The closing line, which accounts for every check.
Tally closingTally(const std::string& out) {
    Tally tally;
    if (out.size() < 2) return tally;
    const std::string last = out.substr(out.rfind('\n', out.size() - 2) + 1);
    std::sscanf(last.c_str(), "%d passed, %d failed, %d skipped\n", &tally.passed, &tally.failed,
                &tally.skipped);
    return tally;
}

TEST(VsthostValidate, PassesThePluginAtTheStrictestLevelWithEveryCheckReported) {
    const Outcome run = runVsthost({"validate", kPluginPath, "--passthrough", "--level", "hostile", "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 0) << run.out;
    const Tally tally = closingTally(run.out);
#if defined(_WIN32)
    EXPECT_EQ(tally.skipped, 11) << "the instrument checks, on an effect, the chunk checks, the double "
                                    "processing checks and the X resources\n"
                                 << run.out;
#else
    EXPECT_EQ(tally.skipped, 27) << "the instrument checks, the chunk checks, the double processing checks, and "
                                    "the editor's, at 1x and 2x, without native windows\n"
                                 << run.out;
#endif
    EXPECT_GE(tally.passed, 50);
    EXPECT_EQ(tally.failed, 0);
    for (const char* check : {"PASS bit-exact pass-through, in place", "PASS processing at 192000 Hz",
                              "-- null pointers, level 3 (hostile)", "-- zero sizes, level 2 (strict)",
                              "PASS opcodes -1 to 100 and 8 extreme ones with a null pointer",
                              "PASS sample rate 0 and block size 0 announced",
                              "PASS 100 instances opened and closed in turn",
                              "PASS 4 instances on 4 audio threads",
                              "PASS program restored", "PASS bank carried into a new instance",
                              "PASS two new instances render alike: 48000 frames bit for bit",
                              "PASS an impulse comes out where the reported latency says",
                              "PASS parameter sweeps no rougher than their values at rest: 2 parameters",
                              "SKIP damaged chunks refused without a trace: the plug-in keeps no chunks",
                              "SKIP a note sounds in every block size: an effect: 2 inputs and no synth "
                              "flag",
                              "SKIP bit-exact double pass-through, in place: the plug-in does not claim double "
                              "processing (flag 4096 not set)"}) {
        EXPECT_NE(run.out.find(check), std::string::npos) << check << "\n" << run.out;
    }
#if defined(_WIN32)
    for (const char* check : {"editor rectangle before open: 512 x 256", "editor opens in a host window",
                              "editor closes", "editor reopens",
                              "editor open and close cycles: 200 of 200 good",
                              "editor cycles keep GDI objects", "editor cycles keep heap memory",
                              "editor opens while audio runs"}) {
        EXPECT_NE(run.out.find(std::string("PASS ") + check), std::string::npos) << check << "\n" << run.out;
    }
#else
    EXPECT_NE(run.out.find("SKIP editor opens in a host window: "), std::string::npos);
#endif
    EXPECT_EQ(run.out.find("FAIL"), std::string::npos);
}

TEST(VsthostValidate, FindsAndNamesThePluginsFaults) {
    const std::string junit = scratch("report.xml");
#if defined(_WIN32)
    // Names reach a Windows host through the machine's ANSI code page.
    const std::string plugin = kFaultyPluginPath;
#else
    // A name in Latin-1, which the report, in UTF-8, cannot carry as it is.
    const std::string plugin = scratch("faulty caf\xE9.so");
    std::ofstream(plugin, std::ios::binary) << slurp(kFaultyPluginPath);
#endif
    const Outcome run = runVsthost({"validate", plugin, "--junit", junit, "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 1);
    for (const char* line :
         {"FAIL texts written are terminated inside the buffer: unterminated after 47 effGetVendorString",
          "FAIL nothing written past the buffer: written past 1024 bytes by 48 effGetProductString",
          "FAIL processing at 22050 Hz, blocks of 1 to 4096 frames: NaN at channel 0, frame 1 in blocks of 3",
          "FAIL processing at 32000 Hz, blocks of 1 to 4096 frames: -inf at channel 1, frame 3 in blocks of 4",
          "WARN processing at 44100 Hz, blocks of 1 to 4096 frames: subnormal at channel 1, frame 2 in blocks of 5",
          "PASS processing at 44100 Hz, blocks of 1 to 4096 frames: subnormal output only",
          "FAIL nothing written past the frame count: at 22050 Hz, block 1",
          "FAIL record's user field left to the host", "PASS 20 instances opened and closed in turn",
          "SKIP opcodes -1 to 100 and 8 extreme ones with a null pointer: needs level 3 (hostile)",
          // A chunk it says it takes and ignores, a click on every change, latency it never renders;
          // its parameter's name, which would break the line and clear the screen, escaped.
          "FAIL bank restored through a written file: parameter 0 \"G\\x0A\\x1B[2J\" is 0, was 0.5",
          "WARN two new instances render alike: channel 0 frame 0: 0.13",
          "WARN parameter sweeps no rougher than their values at rest: parameter 0 \"G\\x0A\\x1B[2J\": a step of 0.14",
          "FAIL an impulse comes out where the reported latency says: reports 64 frames of latency at 192000 Hz "
          "in blocks of 8192, but the impulse comes out after 0",
          "FAIL parameters set and shown from another thread while processing: NaN, infinity or a write past"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    const Tally tally = closingTally(run.out);
    EXPECT_EQ(tally.failed, 13) << run.out;
    EXPECT_EQ(tally.total(), kEveryVerdict) << "the run goes on to the end\n" << run.out;
    const std::string xml = slurp(junit);
    EXPECT_NE(xml.find("tests=\"" + std::to_string(kEveryVerdict) + "\" failures=\"13\" skipped=\"" + std::to_string(tally.skipped)),
              std::string::npos) << xml;
    EXPECT_NE(xml.find("name=\"processing at 32000 Hz, blocks of 1 to 4096 frames\">\n    <failure "
                       "message=\"-inf at channel 1, frame 3 in blocks of 4\"/>"),
              std::string::npos) << xml;
#if !defined(_WIN32)
    EXPECT_NE(xml.find("faulty caf\xEF\xBF\xBD"), std::string::npos) << xml;
    EXPECT_EQ(xml.find('\xE9'), std::string::npos);
#endif

    // What a plug-in prints, without a newline or like the host's own messages, changes no
    // verdict: it reaches stderr, marked as the plug-in's.
    const Outcome printing = runVsthost({"validate", kPrintingPluginPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(closingTally(printing.out).failed, 13) << printing.out;
    EXPECT_EQ(closingTally(printing.out).total(), kEveryVerdict) << printing.out;
    EXPECT_NE(printing.out.find("FAIL nothing written past the frame count: at 22050 Hz, block 1"),
              std::string::npos) << printing.out;
    EXPECT_NE(printing.err.find("[plug-in] opened, and no newline"), std::string::npos) << printing.err;

    // A strict run counts subnormal output as a failure, and sends values out of range.
    const Outcome strict = runVsthost({"validate", kFaultyPluginPath, "--level", "2", "--timeout", kUnreachedLimit});
    for (const char* line :
         {"FAIL processing at 44100 Hz, blocks of 1 to 4096 frames: subnormal at channel 1, frame 2 in "
          "blocks of 5",
          "FAIL parameters set to 2 and read back: parameter 0 reads back 2.0",
          // It takes a chunk whose mark, the bytes all its chunks start with, is not its own.
          "FAIL damaged chunks refused without a trace: took a bank chunk with byte 0 of the mark all its "
          "chunks start with changed, and parameter 0 \"G\\x0A\\x1B[2J\" is ",
          "FAIL two new instances render alike: channel 0 frame 0",
          "PASS parameters set to 0.5 and read back"}) {
        EXPECT_NE(strict.out.find(line), std::string::npos) << line << "\n" << strict.out;
    }
}

// An instrument that plays its events a block late, drops those past frame 2047 of a block and
// puts out NaN once a note's release has faded.
TEST(VsthostValidate, FindsAnInstrumentsLateDroppedNoteAndNaNAfterTheNoteOff) {
    const Outcome run = runVsthost({"validate", kFaultyInstrumentPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 1);
    for (const char* line :
         {"FAIL a note sounds in every block size: no sound from the note-on at frame 10240 in blocks of 4096",
          "FAIL a note starts within a block of its frame: in blocks of 64, the note-on at frame 2080 sounds "
          "from frame 2144, 64 frames after it",
          "FAIL output finite through a note and its release: NaN at channel 0, frame 6816 in blocks of 64, "
          "after the note-off at frame 6496"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_EQ(closingTally(run.out).failed, 3) << run.out;

    // An instrument that reports 256 frames of latency and plays its notes exactly that late is
    // on time, in the block sizes of the strictest level.
    const Outcome late = runVsthost({"validate", kLateInstrumentPath, "--level", "3", "--timeout", kUnreachedLimit});
    for (const char* line : {"PASS a note sounds in every block size: blocks of 1, 3, 64, 512, 1000 and 4096 frames",
                             "PASS a note starts within a block of its frame",
                             "PASS two new instances render alike", "PASS an instance renders alike after a reset",
                             "PASS output finite through a note and its release"}) {
        EXPECT_NE(late.out.find(line), std::string::npos) << line << "\n" << late.out;
    }
}

// A plug-in whose bank forgets one piece of what a host restores fails the state check, which
// names that piece; one that forgets nothing passes it.
TEST(VsthostValidate, NamesThePieceOfStateAPluginForgets) {
    const struct {
        const char* forgets;
        std::string verdict;
    } cases[] = {
        {"", "PASS bank restored through a written file"},
        {"current", "FAIL bank restored through a written file: program 1 is current, 0 was"},
        {"names", "FAIL bank restored through a written file: program 0's name is \"vsthost 0\", was \"First\""},
        {"others", "FAIL bank restored through a written file: program 1's parameter 0 \"Level\" is 0, was 0.5"},
        {"editor", "WARN chunk carried whole into a new instance: its chunk differs from the one it was given from byte 8 on"},
    };
    for (const auto& [forgets, verdict] : cases) {
        const ScopedVariable chosen("LANTER5_FORGETS", forgets);
        const Outcome run = runVsthost({"validate", kForgetfulPluginPath, "--timeout", kUnreachedLimit});
        EXPECT_NE(run.out.find(verdict), std::string::npos) << forgets << "\n" << run.out;
        EXPECT_EQ(closingTally(run.out).failed, *forgets && verdict.starts_with("FAIL") ? 1 : 0) << run.out;
        EXPECT_NE(run.out.find("PASS chunk carried whole into a new instance"), std::string::npos) << run.out;
    }
}

// A plug-in that claims double processing passes the double checks only with a double entry that
// writes every output sample, agrees with its float path and, said to pass audio through, keeps
// every double bit for bit.
TEST(VsthostValidate, ChecksADoubleEntryAgainstItsFloatPathAndTheInput) {
    const struct {
        const char* entry;
        const char* level;
        std::vector<std::string> lines;
    } cases[] = {
        {"", "1", {"PASS double output finite", "PASS double and float processing agree: within 2^-20",
                   "PASS bit-exact double pass-through, separate buffers", "PASS bit-exact double pass-through, in place"}},
        {"nothing", "1", {"FAIL double output finite, blocks of 1 to 4096 frames: left untouched at channel 0, frame 0 "
                          "in blocks of 1",
                          "FAIL double and float processing agree: channel 0 frame 0: float 0.0061591793783009052, "
                          "double left untouched",
                          "FAIL bit-exact double pass-through, separate buffers: channel 0 frame 0: -0 came out as "
                          "nothing in blocks of 1"}},
        {"silence", "1", {"PASS double output finite",
                          "FAIL double and float processing agree: channel 0 frame 1: float 0.039616178721189499, "
                          "double 0",
                          "FAIL bit-exact double pass-through, in place: channel 0 frame 0: -0 came out as 0"}},
        {"float", "1", {"PASS double and float processing agree",
                        "FAIL bit-exact double pass-through, separate buffers: channel 0 frame 53: "
                        "1.7976931348623157e+308 came out as inf in blocks of 1"}},
        {"drift", "1", {"WARN double and float processing agree: channel 0 frame 2: float 0.097540594637393951, "
                        "double 0.097542082988752554",
                        "PASS double and float processing agree: within -40 dBFS, not within float precision"}},
        {"drift", "2", {"FAIL double and float processing agree: channel 0 frame 2"}},
        {"noise", "1", {"SKIP double and float processing agree: not compared: the float path does not render alike "
                        "twice from a reset"}},
    };
    for (const auto& [entry, level, lines] : cases) {
        const ScopedVariable chosen("LANTER5_DOUBLE", entry);
        const Outcome run = runVsthost({"validate", kDoublePluginPath, "--passthrough", "--level", level,
                                        "--timeout", kUnreachedLimit});
        for (const auto& line : lines) EXPECT_NE(run.out.find(line), std::string::npos) << entry << ": " << line << "\n" << run.out;
        // Each faulty entry fails one check at least: drift and float keep no double bit for bit, noise
        // passes no float bit for bit.
        EXPECT_EQ(run.status, *entry ? 1 : 0) << entry << "\n" << run.out;
    }
}

// What a plug-in does inside its audio calls is named with how often, the first block where it
// counts, and the plug-in's function that did it (from the library's symbols, with its module
// and offset). It warns at the normal level and fails a strict run; what the first block after a
// resume does is allowed, and named.
TEST(VsthostValidate, NamesWhatAPluginDoesInsideItsAudioCalls) {
#if defined(_WIN32)
    const std::string allocation = "malloc", lock = "EnterCriticalSection", suffix = ".dll+0x";
#else
    const std::string allocation = "operator new[]", lock = "pthread_mutex_lock", suffix = ".so+0x";
#endif
    const std::string counted = " 69 times, first in block 2 of 72, at ";
    // The verdict's line that starts with `start`, and whether it names `function` in `module`.
    const auto names = [&](const std::string& out, const std::string& start, const std::string& function,
                           const char* module) {
        const std::size_t at = out.find(start);
        if (at == std::string::npos) return false;
        const std::string line = out.substr(at, out.find('\n', at) - at);
        return line.find("(anonymous namespace)::" + function + " (" + module + suffix) != std::string::npos;
    };
    const struct {
        const std::string& plugin;
        std::string verdict;
        std::string function;
        const char* module;
    } cases[] = {
        {kAllocatingPluginPath, "no memory allocated or released in audio calls: " + allocation + counted,
         "allocateScratch(int)", "test_allocating_effect"},
        {kLockingPluginPath, "no locks taken or waits in audio calls: " + lock + counted, "takeLock()",
         "test_locking_effect"},
        {kStderrPluginPath, "no file or console access in audio calls: fwrite" + counted,
         "process(AEffect*, float**, float**, int)", "test_stderr_effect"},
        // Its time is the audio thread's to ask for, and the host's answer is the host's own work.
        {kAskingPluginPath, "no host calls meant for other threads in audio calls: audioMasterUpdateDisplay" + counted,
         "askHost(AEffect*)", "test_asking_effect"},
    };
    for (const auto& [plugin, verdict, function, module] : cases) {
        const Outcome normal = runVsthost({"validate", plugin, "--timeout", kUnreachedLimit});
        EXPECT_TRUE(names(normal.out, "WARN " + verdict, function, module)) << verdict << "\n" << normal.out;
        EXPECT_EQ(normal.status, 0) << normal.out;
        const Outcome strict = runVsthost({"validate", plugin, "--level", "strict", "--timeout", kUnreachedLimit});
        EXPECT_TRUE(names(strict.out, "FAIL " + verdict, function, module)) << verdict << "\n" << strict.out;
        EXPECT_EQ(closingTally(strict.out).failed, 1) << strict.out;
    }
    const Outcome prepared = runVsthost({"validate", kPreparingPluginPath, "--level", "strict", "--timeout", kUnreachedLimit});
    EXPECT_TRUE(names(prepared.out, "PASS no memory allocated or released in audio calls: allowed in the first block "
                      "after a resume: " + allocation + " 3 times at ", "prepareOnce(int)", "test_preparing_effect"))
        << prepared.out;
    EXPECT_EQ(prepared.status, 0) << prepared.out;
}

// With --json, stdout holds one JSON document and nothing else, with every verdict of the text
// report under its check, in its order, and the same totals; a plug-in's name that is not UTF-8
// does not keep a parser from reading it. Messages hold counts that differ from run to run, so
// the verdicts are compared without them.
TEST(VsthostValidate, ReportsAsJsonWhatTheTextReportShows) {
#if defined(_WIN32)
    const std::string plugin = kFaultyPluginPath;
#else
    const std::string plugin = scratch("faulty caf\xE9.so");
    std::ofstream(plugin, std::ios::binary) << slurp(kFaultyPluginPath);
#endif
    const Outcome text = runVsthost({"validate", plugin, "--timeout", kUnreachedLimit});
    const Outcome json = runVsthost({"validate", plugin, "--json", "--timeout", kUnreachedLimit});
    EXPECT_EQ(json.status, 1);
    // One line, which Windows ends with a return too.
    const std::string document = json.out.substr(0, json.out.find_last_not_of("\r\n") + 1);
    ASSERT_TRUE(document.starts_with("{\"plugin\":\"") && document.ends_with("}") &&
                document.find('\n') == std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"totals\":{\"passed\":" + std::to_string(closingTally(text.out).passed) +
                            ",\"failed\":13,\"skipped\":" + std::to_string(closingTally(text.out).skipped) +
                            ",\"warnings\":9}"),
              std::string::npos) << json.out;
    // A parameter's name quoted with its escapes, whose backslashes JSON escapes in turn.
    EXPECT_NE(json.out.find("{\"name\":\"bank restored through a written file\",\"verdict\":\"fail\",\"message\":"
                            "\"parameter 0 \\\"G\\\\x0A\\\\x1B[2J\\\" is 0, was 0.5\"}"),
              std::string::npos) << json.out;
#if !defined(_WIN32)
    // The document read by a JSON parser, written back as the text report's lines without messages.
    const char* const lines =
        "import json, sys\n"
        "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "names = {1: 'normal', 2: 'strict', 3: 'hostile'}\n"
        "out = []\n"
        "for c in d['checks']:\n"
        "    out.append('-- %s, level %d (%s)' % (c['name'], c['level'], names[c['level']]))\n"
        "    out += [v['verdict'].upper() + ' ' + v['name'] for v in c['verdicts']]\n"
        "t = d['totals']\n"
        "out.append('%d passed, %d failed, %d skipped' % (t['passed'], t['failed'], t['skipped']))\n"
        "out.append(d['plugin'])\n"
        "sys.stdout.buffer.write('\\n'.join(out).encode('utf-8'))\n";
    const std::string file = scratch("report.json");
    std::ofstream(file, std::ios::binary) << json.out;
    const Outcome parsed = runVsthost({"-c", lines, file}, "/usr/bin/python3");
    ASSERT_EQ(parsed.status, 0) << parsed.err;
    std::istringstream expected(text.out);
    std::istringstream read(parsed.out);
    std::string want;
    std::string got;
    while (std::getline(expected, want)) {
        ASSERT_TRUE(std::getline(read, got)) << "the document ends before: " << want;
        EXPECT_TRUE(want == got || want.starts_with(got + ": ")) << want << "\n" << got;
    }
    ASSERT_TRUE(std::getline(read, got));
    EXPECT_TRUE(got.ends_with("faulty caf\xEF\xBF\xBD.so")) << got;
#endif
}

// A crash, an abort or a hang fails the check it happened in, names how and where, and the
// run goes on with the next check; every check is still counted. Only the hang needs a limit,
// and only one that a hang exceeds: the checks' own work is far shorter.
TEST(VsthostValidate, ReportsACrashAnAbortAndAHangAsFailedChecks) {
    const std::string processing = "FAIL processing at 22050 Hz, blocks of 1 to 4096 frames: ";
    const std::string step = ", in step \"processing at 22050 Hz in blocks of 31\"";
#if defined(_WIN32)
    const std::string crash = "the plug-in crashed: access violation, exception 0xC0000005";
#else
    const std::string crash = "the plug-in crashed: segmentation fault (SIGSEGV)";
#endif
    const struct {
        std::string plugin;
        std::string failure;
        std::vector<std::string> limit;
    } cases[] = {
        {kCrashingPluginPath, crash, {}},
        {kAbortingPluginPath, "the plug-in crashed: abort (SIGABRT)", {}},
        {kHangingPluginPath, "the plug-in hung: no answer within 10 s", {"--timeout", "10"}},
    };
    for (const auto& faulty : cases) {
        const std::string junit = scratch("crash.xml");
        std::vector<std::string> arguments = {"validate", faulty.plugin, "--junit", junit};
        arguments.insert(arguments.end(), faulty.limit.begin(), faulty.limit.end());
        const auto start = std::chrono::steady_clock::now();
        const Outcome run = runVsthost(arguments);
        // The hang costs its limit once per check it stops, far below a limit counted wrong
        // (the child's start limit, say), however loaded the machine.
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 150.0);
        // The report quotes the step inside an attribute, where a bare quote would end it.
        EXPECT_NE(slurp(junit).find(faulty.failure + ", in step &quot;processing at 22050 Hz in blocks of 31&quot;\"/>"),
                  std::string::npos) << slurp(junit);
        EXPECT_EQ(run.status, 1) << faulty.plugin;
        EXPECT_NE(run.out.find(processing + faulty.failure + step), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("SKIP processing at 192000 Hz, blocks of 1 to 4096 frames: not reached"),
                  std::string::npos) << run.out;
        // A fresh child runs the checks after it.
        EXPECT_NE(run.out.find("FAIL output clean while opcodes arrive from another thread"), std::string::npos)
            << run.out;
        EXPECT_EQ(closingTally(run.out).total(), kEveryVerdict) << run.out;
    }
}

// A child slowed at its start beyond the plug-in's limit, as on a loaded or emulated machine,
// costs the plug-in nothing: its limit counts from the check's begin. A child that does not
// start at all is the host's failure, not the plug-in's.
TEST(VsthostValidate, CountsAPluginsTimeFromTheCheckNotFromTheChildsStart) {
    const ScopedVariable slowStart("LANTER5_CHILD_START_DELAY", "5");
    const Outcome slow = runVsthost({"validate", kNullEntryPath, "--timeout", "3"});
    EXPECT_EQ(slow.status, 1);
    EXPECT_NE(slow.out.find("FAIL entry point answers a record: null for a host answering version 2400"),
              std::string::npos) << slow.out;
    EXPECT_EQ(slow.out.find("no answer"), std::string::npos) << slow.out;

    const Outcome hung = runVsthost({"validate", kEntryHangingPluginPath, "--timeout", "3"});
    EXPECT_NE(hung.out.find("FAIL entry point answers a record: the plug-in hung: no answer within 3 s, "
                            "in step \"entry point call\""),
              std::string::npos) << hung.out;

    const std::string in = scratch("in.wav");
    const std::string out = scratch("out.wav");
    writePcm16(in, 2, ramp(2 * 100));
    expectOneLineError(runVsthost({"process", kNullEntryPath, in, out, "--timeout", "3"}),
                       "vsthost: the plug-in's entry point answered null");

    const ScopedVariable shortStart("LANTER5_CHILD_START_SECONDS", "1");
    const Outcome unstarted = runVsthost({"validate", kPluginPath});
    EXPECT_EQ(unstarted.status, 1);
    EXPECT_NE(unstarted.out.find("FAIL entry point: vsthost's child process did not start within 1 s"),
              std::string::npos) << unstarted.out;
    EXPECT_NE(unstarted.out.find("SKIP output clean while opcodes arrive from another thread: not run: "
                                 "vsthost's child process did not start"),
              std::string::npos) << unstarted.out;
    EXPECT_EQ(unstarted.out.find("plug-in hung"), std::string::npos) << unstarted.out;
    std::remove(out.c_str());
    expectOneLineError(runVsthost({"process", kPluginPath, in, out}),
                       "vsthost: vsthost's child process did not start within 1 s");
    EXPECT_FALSE(fileExists(out));
}

// Whether process `id` ends within 10 s; one ended and not yet reaped by whoever adopted it
// counts as ended.
bool endsSoon(long id) {
#if defined(_WIN32)
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) return true;
    const bool ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    for (int tries = 0; tries < 100; ++tries) {
        const std::string stat = slurp("/proc/" + std::to_string(id) + "/stat");
        const std::size_t state = stat.rfind(") ");
        if (state == std::string::npos || stat[state + 2] == 'Z') return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
#endif
}

// A plug-in that fights the host, one way per run, as LANTER5_HOSTILE chooses.
class VsthostHostile : public ::testing::Test {
protected:
    // Runs vsthost with the plug-in behaving as `mode` says, and how long that took.
    Outcome run(const char* mode, std::vector<std::string> arguments) {
        const ScopedVariable chosen("LANTER5_HOSTILE", mode);
        const ScopedVariable named("LANTER5_HOSTILE_FILE", file_.c_str());
        const auto start = std::chrono::steady_clock::now();
        Outcome outcome = runVsthost(std::move(arguments));
        seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return outcome;
    }
    // A hang is reported within its limit and a margin that no loaded or emulated machine
    // needs; a prompt end, well before any limit.
    void expectEndedWithin(double bound) const { EXPECT_LT(seconds_, bound); }
    std::string process(const char* mode, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments = {"process", kHostilePluginPath, in_, out_};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const Outcome outcome = run(mode, arguments);
        EXPECT_FALSE(fileExists(out_)) << mode;
        EXPECT_EQ(temporariesIn(folder_), 0) << mode;
        EXPECT_EQ(outcome.status, 1) << mode;
        return outcome.err;
    }

    const std::string folder_ = ownFolder();
    const std::string in_ = folder_ + "/in.wav";
    const std::string out_ = folder_ + "/out.wav";
    const std::string file_ = folder_ + "/named.txt";
    double seconds_ = 0;

    void SetUp() override { writePcm16(in_, 2, ramp(2 * 2000)); }
};

#if defined(_WIN32)
const std::string kCrashText = "the plug-in crashed: access violation, exception 0xC0000005";
#else
const std::string kCrashText = "the plug-in crashed: segmentation fault (SIGSEGV)";
#endif
const std::string kFirstBlock = ", in step \"block 1, frames 0 to 511\"";

// The library's start-up code runs only in the child, under the child's start limit.
TEST_F(VsthostHostile, LoadsThePluginOnlyInTheChild) {
    // Time enough for a Windows child to start in the emulated machine, short enough to wait.
#if defined(_WIN32)
    const std::string limit = "30";
#else
    const std::string limit = "5";
#endif
    const ScopedVariable shortStart("LANTER5_CHILD_START_SECONDS", limit.c_str());
    const std::string loading = ", in step \"loading the library\"";
#if defined(_WIN32)
    // Windows' loader catches what the library's start-up code does: the library does not load.
    const std::string loadCrash = "is not a loadable plug-in";
#else
    const std::string loadCrash = kCrashText + loading;
#endif
    EXPECT_NE(process("crash-on-load").find(loadCrash), std::string::npos);
    EXPECT_NE(process("hang-on-load").find("vsthost: the plug-in hung: no answer within " + limit + " s" + loading),
              std::string::npos);
    expectEndedWithin(120);
    const std::string junit = folder_ + "/report.xml";
    const Outcome validated = run("crash-on-load", {"validate", kHostilePluginPath, "--junit", junit});
    EXPECT_EQ(validated.status, 1);
#if defined(_WIN32)
    expectOneLineError(validated, loadCrash);
#else
    EXPECT_NE(validated.out.find("FAIL entry point: " + loadCrash), std::string::npos) << validated.out;
    EXPECT_NE(slurp(junit).find(kCrashText + ", in step &quot;loading the library&quot;"), std::string::npos);
#endif
    const Outcome hung = run("hang-on-load", {"validate", kHostilePluginPath});
    EXPECT_NE(hung.out.find("FAIL entry point: the plug-in hung: no answer within " + limit + " s" + loading),
              std::string::npos) << hung.out;
    expectEndedWithin(120);
    // So do the commands that only ask it; and a chunk longer than the plug-in's memory
    // costs the child, not vsthost.
    const std::string preset = folder_ + "/saved.fxp";
    expectOneLineError(run("crash-on-load", {"info", kHostilePluginPath}), loadCrash);
    expectOneLineError(run("crash-on-load", {"preset", "save", kHostilePluginPath, preset}), loadCrash);
    const Outcome lied = run("chunk-lie", {"preset", "save", kHostilePluginPath, preset});
    expectOneLineError(lied, "the plug-in crashed: ");
    EXPECT_NE(lied.err.find(", in step \"taking the state\""), std::string::npos) << lied.err;
    EXPECT_FALSE(fileExists(preset));
}

// A child that ends before it says its work is done has failed, whatever its status; one
// that stops talking, or talks without end, is still held to its limit.
TEST_F(VsthostHostile, HoldsAPluginThatExitsOrHangsToItsStep) {
    EXPECT_NE(process("exit").find("vsthost: the plug-in ended the process: exit status 0" + kFirstBlock),
              std::string::npos);
    const Outcome validated = run("exit", {"validate", kHostilePluginPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(validated.status, 1);
    EXPECT_NE(validated.out.find("the plug-in ended the process: exit status 0"), std::string::npos)
        << validated.out;
#if !defined(_WIN32)
    for (const char* mode : {"close-and-hang", "print-and-hang"}) {
        EXPECT_NE(process(mode, {"--timeout", "3"}).find("vsthost: the plug-in hung: no answer within 3 s" + kFirstBlock),
                  std::string::npos) << mode;
        expectEndedWithin(60);
        if (std::string(mode) != "close-and-hang") continue;
        const Outcome hung = run(mode, {"validate", kHostilePluginPath, "--timeout", "3"});
        EXPECT_EQ(hung.status, 1);
        EXPECT_NE(hung.out.find("the plug-in hung: no answer within 3 s"), std::string::npos) << hung.out;
        EXPECT_EQ(closingTally(hung.out).total(), kEveryVerdict) << hung.out;
        expectEndedWithin(600);
    }
#endif
}

// Output without line breaks is passed on in pieces of a bounded length.
TEST_F(VsthostHostile, PassesOnALineWithoutEndInPieces) {
    const Outcome outcome = run("long-line", {"process", kHostilePluginPath, in_, out_});
    EXPECT_EQ(outcome.status, 0) << outcome.err.substr(0, 200);
    EXPECT_TRUE(fileExists(out_));
    std::size_t longest = 0;
    std::size_t pieces = 0;
    for (std::size_t start = 0, end; (end = outcome.err.find('\n', start)) != std::string::npos; start = end + 1) {
        longest = std::max(longest, end - start - (end > start && outcome.err[end - 1] == '\r'));
        pieces += outcome.err.compare(start, 10, "[plug-in] ") == 0;
    }
    EXPECT_LE(longest, 4096u + 10u);
    EXPECT_GE(pieces, (32u << 20) / 4096u);
}

// What the plug-in starts may hold the pipes: the child's end is still known at once, and the
// helper ends with it.
TEST_F(VsthostHostile, EndsWhatThePluginStarts) {
    const Outcome worked = run("helper", {"process", kHostilePluginPath, in_, out_, "--timeout", "120"});
    EXPECT_EQ(worked.status, 0) << worked.err;
    EXPECT_TRUE(fileExists(out_));
    expectEndedWithin(100);
    // Gone, not merely let go of: a quiet helper, which no closed pipe would end.
    const long helper = std::atol(slurp(file_).c_str());
    ASSERT_GT(helper, 0);
    EXPECT_TRUE(endsSoon(helper));
    std::remove(out_.c_str());
    EXPECT_NE(process("helper-crash", {"--timeout", "120"}).find("vsthost: " + kCrashText + kFirstBlock),
              std::string::npos);
    expectEndedWithin(100);
    const Outcome printing = run("helper-prints", {"process", kHostilePluginPath, in_, out_, "--timeout", "120"});
    EXPECT_EQ(printing.status, 0) << printing.err.substr(0, 200);
    expectEndedWithin(100);
}

// Lines in the host's format written by the plug-in are not the host's: no verdict, step,
// file or success comes from them.
TEST_F(VsthostHostile, TakesNoWordOfThePlugins) {
    std::ofstream(file_) << "the user's own";
    EXPECT_NE(process("forge-crash").find("vsthost: " + kCrashText + kFirstBlock), std::string::npos);
    EXPECT_EQ(slurp(file_), "the user's own");
    EXPECT_NE(process("forge-exit").find("vsthost: the plug-in ended the process: exit status 0" + kFirstBlock),
              std::string::npos);
    const Outcome validated = run("forge-exit", {"validate", kHostilePluginPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(validated.status, 1);
    EXPECT_EQ(closingTally(validated.out).total(), kEveryVerdict) << validated.out;
    EXPECT_GE(closingTally(validated.out).failed, 1) << validated.out;
}

// Names are taken as they stood when vsthost started, whatever folder the plug-in moves to.
TEST_F(VsthostHostile, KeepsNamesWhereTheUserMeantThem) {
    const std::string relative = "VsthostHostile-chdir-out.wav";
    std::remove(relative.c_str());
    const Outcome outcome = run("chdir", {"process", kHostilePluginPath, in_, relative});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(fileExists(relative));
    std::remove(relative.c_str());
}

#if !defined(_WIN32)
// A parent ended as a CI limit or a script's timeout ends it takes its child and temporary along.
TEST_F(VsthostHostile, LeavesNothingWhenItIsEnded) {
    const ScopedVariable chosen("LANTER5_HOSTILE", "hang-with-id");
    const ScopedVariable named("LANTER5_HOSTILE_FILE", file_.c_str());
    for (const int signal : {SIGTERM, SIGINT}) {
        std::remove(file_.c_str());
        const pid_t parent = fork();
        if (parent == 0) {
            execl(kVsthostPath.c_str(), kVsthostPath.c_str(), "process", kHostilePluginPath.c_str(), in_.c_str(),
                  out_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        long child = 0;
        for (int tries = 0; tries < 600 && child <= 0; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            child = std::atol(slurp(file_).c_str());
        }
        ASSERT_GT(child, 0);
        kill(parent, signal);
        int status = 0;
        waitpid(parent, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_TRUE(endsSoon(child));
        EXPECT_EQ(temporariesIn(folder_), 0);
    }
}
#endif

#if defined(_WIN32)
TEST(VsthostValidate, RunsTheEditorChecksInARealWindow) {
    const Outcome run = runVsthost({"validate", kEditorPluginPath, "--trace", "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 0) << run.out;
    for (const char* check : {"editor rectangle before open: 240 x 120", "editor opens in a host window",
                              "editor idles", "editor closes", "editor reopens",
                              "editor open and close cycles: 200 of 200 good",
                              "editor cycles keep GDI objects", "editor cycles keep heap memory",
                              "editor opens while audio runs"}) {
        EXPECT_NE(run.out.find(std::string("PASS ") + check), std::string::npos) << check << "\n" << run.out;
    }
    EXPECT_NE(run.err.find("audioMasterSizeWindow(15)"), std::string::npos);
    EXPECT_NE(run.err.find("index=240 value=120"), std::string::npos);
}

TEST(VsthostValidate, NoticesAnEditorThatLosesGdiObjectsAndMemory) {
    const Outcome run = runVsthost({"validate", kLeakyEditorPluginPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("PASS editor open and close cycles: 200 of 200 good"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("FAIL editor cycles keep GDI objects"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("FAIL editor cycles keep heap memory: heap in use "), std::string::npos)
        << run.out;
}
#endif

std::uint32_t littleEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The red, green and blue of pixel (x, y) of a 24-bit bottom-up BMP file.
std::uint32_t bmpPixel(const std::string& file, int x, int y) {
    const std::uint32_t width = littleEndian(file, 18);
    const std::uint32_t height = littleEndian(file, 22);
    const std::size_t row = (width * 3 + 3) & ~3u;
    const std::size_t at = littleEndian(file, 10) + (height - 1 - y) * row + x * 3;
    return static_cast<unsigned char>(file[at + 2]) << 16 | static_cast<unsigned char>(file[at + 1]) << 8 |
           static_cast<unsigned char>(file[at]);
}

#if defined(_WIN32)
TEST(VsthostEditor, ShowsCountsPicturesAndTimesTheEditor) {
    const std::string picture = scratch("editor.bmp");
    std::remove(picture.c_str());
    const Outcome run = runVsthost({"editor", kPluginPath, "--idle", "12", "--shot", picture});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("512 x 256, opened in a window of the host's"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("12 idle calls at 30 per second"), std::string::npos);
    EXPECT_NE(run.out.find("picture written to " + picture), std::string::npos) << run.out;
    double median = -1;
    const std::size_t cost = run.out.find("median ");
    ASSERT_NE(cost, std::string::npos) << run.out;
    ASSERT_EQ(std::sscanf(run.out.c_str() + cost, "median %lf us", &median), 1);
    EXPECT_GT(median, 0.0);
    EXPECT_NE(run.out.find("editor: closed"), std::string::npos);

    const std::string file = slurp(picture);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(littleEndian(file, 18), 512u);
    EXPECT_EQ(littleEndian(file, 22), 256u);
    // The label shows a number in white on black; everything else is the frame's black.
    int white = 0;
    int outside = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 512; ++x) {
            const std::uint32_t rgb = bmpPixel(file, x, y);
            const bool inLabel = x >= 16 && x < 96 && y >= 16 && y < 41;
            if (inLabel) white += rgb == 0xFFFFFF;
            else outside += rgb != 0;
        }
    }
    EXPECT_GT(white, 5);
    EXPECT_EQ(outside, 0);
}

TEST(VsthostEditor, RefusesAPluginWithoutAnEditorAndBadCounts) {
    expectOneLineError(runVsthost({"editor", kNullEntryPath}), "entry point answered null");
    EXPECT_EQ(runVsthost({"editor", kPluginPath, "--idle", "0"}).status, 2);
}
#else
TEST(VsthostEditor, SaysWhyThereIsNoEditorWithoutNativeWindows) {
    expectOneLineError(runVsthost({"editor", kPluginPath}), "this build has no native windows");
}
#endif

#if defined(HAS_EDITOR_WINDOWS)
TEST(VsthostValidate, ChecksAnEditorThatTakesTheScaleAtTwiceItsSize) {
    const Outcome run = runVsthostWithWindows({"validate", kScalingEditorPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(closingTally(run.out).total(), kEveryVerdict) << run.out;
    for (const char* check : {"editor rectangle before open: 200 x 120", "editor open and close cycles: 200 of 200 good",
                              "editor takes the scale factor 2",
                              "editor rectangle doubles at 2x: 200 x 120 at 1x, 400 x 240 at 2x",
                              "editor opens in a host window at 2x", "editor idles at 2x", "editor closes at 2x",
                              "editor open and close cycles at 2x: 200 of 200 good",
                              "editor window follows a scale change while open: window at 1x 200 x 120 for "
                              "200 x 120, at 2x 400 x 240 for 400 x 240"}) {
        EXPECT_NE(run.out.find(std::string("PASS ") + check), std::string::npos) << check << "\n" << run.out;
    }

    // Claiming the capability is not enough: it must take the factor and scale.
    const Outcome ignoring = runVsthostWithWindows({"validate", kScaleIgnoringEditorPath, "--timeout", kUnreachedLimit});
    EXPECT_EQ(ignoring.status, 1);
    EXPECT_EQ(closingTally(ignoring.out).failed, 3) << ignoring.out;
    for (const char* check : {"FAIL editor takes the scale factor 2: it answered 0",
                              "FAIL editor rectangle doubles at 2x: 200 x 120 at 1x, 200 x 120 at 2x, not 400 x 240",
                              "FAIL editor window follows a scale change while open: window at 1x 200 x 120 for "
                              "200 x 120, at 2x 200 x 120 for 400 x 240",
                              "PASS editor opens in a host window at 2x",
                              "PASS editor open and close cycles at 2x: 200 of 200 good"}) {
        EXPECT_NE(ignoring.out.find(check), std::string::npos) << check << "\n" << ignoring.out;
    }
}

TEST(VsthostEditor, ShowsTheEditorAtTheScaleAskedWhenThePluginTakesOne) {
    const std::string picture = scratch("scaled.bmp");
    const Outcome run = runVsthostWithWindows({"editor", kScalingEditorPath, "--idle", "2", "--scale", "1.5", "--shot", picture});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("editor: scale factor 1.5 taken before opening"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("300 x 180, opened in a window of the host's"), std::string::npos) << run.out;
    const std::string file = slurp(picture);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(littleEndian(file, 18), 300u);
    EXPECT_EQ(littleEndian(file, 22), 180u);

    // This one would scale if it were sent the factor, but never says it takes one.
    const std::string unscaled = scratch("unscaled.bmp");
    const Outcome silent = runVsthostWithWindows({"editor", kSilentScalingEditorPath, "--idle", "2", "--scale", "2", "--shot", unscaled});
    ASSERT_EQ(silent.status, 0) << silent.out << silent.err;
    EXPECT_NE(silent.out.find("editor: the plug-in does not answer \"supportsViewDpiScaling\": its editor is shown "
                              "at 1x, not 2"), std::string::npos) << silent.out;
    EXPECT_EQ(littleEndian(slurp(unscaled), 18), 200u);

    for (const char* nonsense : {"0.5", "4.01", "2x", "nan", "-1", "inf"}) {
        expectOneLineError(runVsthost({"editor", kScalingEditorPath, "--scale", nonsense}),
                           std::string("--scale wants a number from 1 to 4, not '") + nonsense + "'");
    }
}
#endif

// Names in any language: the plug-in's, its files' and the folder's vsthost itself lives in.
TEST(VsthostNames, TakesNamesInAnyLanguage) {
    namespace fs = std::filesystem;
    const std::string folder = scratch("フォルダ ø");
    std::error_code ignored;
    fs::remove_all(vsthost::FileName::path(folder), ignored);
    fs::create_directories(vsthost::FileName::path(folder));
    const std::string program = folder + "/" + fs::path(kVsthostPath).filename().string();
    const std::string plugin = folder + "/プラグイン" + fs::path(kPluginPath).extension().string();
    fs::copy_file(kVsthostPath, vsthost::FileName::path(program));
    fs::copy_file(kPluginPath, vsthost::FileName::path(plugin));
    const std::string plain = scratch("in.wav");
    writePcm16(plain, 2, ramp(2 * 1000));
    const std::string in = folder + "/日本語 ø.wav";
    const std::string out = folder + "/出力.wav";
    fs::copy_file(plain, vsthost::FileName::path(in));

    const Outcome processed = runVsthost({"process", plugin, in, out}, program);
    EXPECT_EQ(processed.status, 0) << processed.err;
    const auto input = vsthost::AudioFileReader::read(in);
    const auto output = vsthost::AudioFileReader::read(out);
    ASSERT_TRUE(input) << input.error();
    ASSERT_TRUE(output) << output.error();
    EXPECT_EQ(output->channels, input->channels);

    const std::string junit = folder + "/報告.xml";
    const Outcome validated =
        runVsthost({"validate", plugin, "--junit", junit, "--timeout", kUnreachedLimit}, program);
    EXPECT_EQ(validated.status, 0) << validated.out << validated.err;
    EXPECT_EQ(closingTally(validated.out).failed, 0) << validated.out;
    std::string report;
    EXPECT_TRUE(vsthost::FileName::read(junit, report));
    EXPECT_NE(report.find("プラグイン"), std::string::npos) << report;
}

// A plug-in's state as a program or bank file: its chunk when it keeps programs in chunks,
// else its values; a render starts from one; what cannot be such a file, or is another
// plug-in's, is refused in one line.
TEST(VsthostPreset, SavesShowsAndStartsFromAProgramOrABank) {
    const std::string gain = besideProgram(GAIN_PLUGIN_FILE);
    const std::string bank = scratch("gain.fxb");
    const std::string program = scratch("lanter5.fxp");
    Outcome run = runVsthost({"preset", "save", gain, bank});
    ASSERT_EQ(run.status, 0) << run.err;
    run = runVsthost({"preset", "show", bank});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("bank file holding the plug-in's chunk of 128 bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("plug-in 'L5Gn' (1278560110), version 1; format version 2"), std::string::npos)
        << run.out;
    ASSERT_EQ(runVsthost({"preset", "save", kPluginPath, program}).status, 0);
    run = runVsthost({"preset", "show", program});
    EXPECT_NE(run.out.find("program file holding 2 parameter values"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("program 0 \"\": 0 0"), std::string::npos) << run.out;
    // A name that would clear the terminal and fake a line of its own is shown escaped.
    std::string named = slurp(program);
    named.replace(28, 17, "X\nprogram 1 \x1B[2J\\");
    const std::string namedProgram = scratch("named.fxp");
    std::ofstream(namedProgram, std::ios::binary) << named;
    run = runVsthost({"preset", "show", namedProgram});
    EXPECT_NE(run.out.find("program 0 \"X\\x0Aprogram 1 \\x1B[2J\\x5C\": 0 0"), std::string::npos) << run.out;

    // A render starts from a saved program or bank: the bank saved while program 2 was
    // current sounds as program 2's values put into the current program do, and neither
    // sounds as the plug-in's first state.
    const std::string in = scratch("in.wav");
    writePcm16(in, 2, ramp(2 * 1000));
    const std::string secondBank = scratch("gain-2.fxb");
    const std::string secondProgram = scratch("gain-2.fxp");
    ASSERT_EQ(runVsthost({"preset", "save", gain, secondBank, "--program", "2"}).status, 0);
    ASSERT_EQ(runVsthost({"preset", "save", gain, secondProgram, "--program", "2"}).status, 0);
    std::vector<std::vector<std::vector<float>>> outputs;
    for (const std::string& preset : {std::string(), secondBank, secondProgram}) {
        const std::string out = scratch("out.wav");
        std::vector<std::string> arguments = {"process", gain, in, out};
        if (!preset.empty()) arguments.insert(arguments.end(), {"--preset", preset});
        run = runVsthost(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        const auto output = vsthost::AudioFileReader::read(out);
        ASSERT_TRUE(output) << output.error();
        outputs.push_back(output->channels);
    }
    EXPECT_EQ(outputs[1], outputs[2]);
    // Program 2, "Quarter", is exactly a quarter of the unity render.
    ASSERT_EQ(outputs[0].size(), 2u);
    for (std::size_t c = 0; c < 2; ++c) {
        for (float& sample : outputs[0][c]) sample *= 0.25f;
    }
    EXPECT_EQ(outputs[1], outputs[0]);
    const std::string refused = scratch("refused.wav");
    std::remove(refused.c_str());
    expectOneLineError(runVsthost({"process", gain, in, refused, "--preset", program}),
                       "is for the plug-in 'SMPL' (1397575756), not this one, 'L5Gn' (1278560110)");
    std::string damaged = slurp(secondProgram);
    damaged[60] = static_cast<char>(damaged[60] ^ 0xFF);  // the chunk's first byte
    const std::string damagedProgram = scratch("damaged.fxp");
    std::ofstream(damagedProgram, std::ios::binary) << damaged;
    expectOneLineError(runVsthost({"process", gain, in, refused, "--preset", damagedProgram}),
                       "holds a chunk the plug-in refused");
    EXPECT_FALSE(fileExists(refused));
    // A validation starts every instance from the preset, or stops at once when it does not fit:
    // at unity the gain passes audio through bit for bit, at program 2's -12 dB it cannot.
    run = runVsthost({"validate", gain, "--passthrough", "--preset", secondBank, "--timeout", kUnreachedLimit});
    EXPECT_NE(run.out.find("PASS the preset file taken: bank file holding the plug-in's chunk"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("FAIL bit-exact pass-through, separate buffers"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("FAIL bit-exact double pass-through, separate buffers"), std::string::npos) << run.out;
    EXPECT_EQ(closingTally(run.out).failed, 4) << run.out;
    run = runVsthost({"validate", gain, "--preset", program});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("FAIL the preset file taken: '" + program + "' is for the plug-in 'SMPL'"),
              std::string::npos) << run.out;
    EXPECT_EQ(closingTally(run.out).failed, 1) << run.out;

    expectOneLineError(runVsthost({"preset", "show", kPluginPath}), "is no program or bank file");
    expectOneLineError(runVsthost({"preset", "save", gain, scratch("gain.txt")}), "ends in .fxp");
    expectOneLineError(runVsthost({"preset", "save", gain, program, "--program", "4"}),
                       "--program wants a program from 0 to 3, not '4'");
#if !defined(_WIN32)
    // A disk that fills up fails the command and leaves no file.
    const std::string full = scratch("full.fxp");
    std::remove(full.c_str());
    ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
    expectOneLineError(runVsthost({"preset", "save", gain, full}),
                       "cannot write '" + full + "': No space left on device");
    EXPECT_TRUE(std::filesystem::is_symlink(full)) << "a failed write removes only what it made";
#endif
    // A plug-in without programs or chunks keeps its state in a program file, not an empty bank.
    expectOneLineError(runVsthost({"preset", "save", kTimeProbePath, scratch("probe.fxb")}),
                       "the plug-in has no programs: a bank of it holds nothing");
}

TEST(VsthostDemo, ShowsThePluginPassingAudioThroughUnchanged) {
    const Outcome run = runVsthost({"demo", kPluginPath, "--dir", scratch("demo"), "--timeout", kUnreachedLimit});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("output identical to input bit for bit"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" passed, 0 failed"), std::string::npos);
    EXPECT_TRUE(fileExists(scratch("demo/demo-out.wav")));
#if defined(_WIN32)
    EXPECT_NE(run.out.find("demo: editor 512 x 256 opened in a window of the host's, idled 10 times, "
                           "closed; picture of it: " + scratch("demo/editor.bmp")),
              std::string::npos) << run.out;
    EXPECT_EQ(slurp(scratch("demo/editor.bmp")).substr(0, 2), "BM");
#else
    EXPECT_NE(run.out.find("demo: editor not shown: this build has no native windows"),
              std::string::npos) << run.out;
#endif
}
