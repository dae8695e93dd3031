// Program and bank files: what the tool writes reads back field for field, a file made by
// hand byte by byte reads as its bytes say, and every damaged file is refused in one line.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "FileName.h"
#include "PresetFile.h"

using vsthost::PresetFile;
using vsthost::PresetProgram;

namespace {

std::string big32(std::uint32_t value) {
    std::string bytes;
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift);
    return bytes;
}

std::string name28(const std::string& name) { return name + std::string(28 - name.size(), '\0'); }

// A program file of two parameter values, as the format lays it out.
std::string handMadeProgram() {
    const std::string body = std::string("FxCk") + big32(1) + "tFlt" + big32(3) + big32(2) + name28("Warm") +
                              big32(0x3F000000) /* 0.5 */ + big32(0x3F800000) /* 1.0 */;
    return "CcnK" + big32(static_cast<std::uint32_t>(body.size())) + body;
}

}  // namespace

TEST(PresetFile, ReadsWhatItWritesAndWhatIsMadeByHand) {
    const auto hand = PresetFile::parse(handMadeProgram());
    ASSERT_TRUE(hand) << hand.error();
    EXPECT_EQ(hand->kind, PresetFile::Kind::program);
    EXPECT_FALSE(hand->opaque);
    EXPECT_EQ(hand->pluginId, 0x74466C74);
    EXPECT_EQ(hand->pluginVersion, 3);
    ASSERT_EQ(hand->programs.size(), 1u);
    EXPECT_EQ(hand->programs[0].name, "Warm");
    EXPECT_EQ(hand->programs[0].parameters, (std::vector<float>{0.5f, 1.0f}));
    EXPECT_EQ(hand->bytes(), handMadeProgram());

    PresetFile opaqueProgram = *hand;
    opaqueProgram.opaque = true;
    opaqueProgram.chunk = std::string("\0\1\2chunk", 8);
    PresetFile bank;
    bank.kind = PresetFile::Kind::bank;
    bank.pluginId = 42;
    bank.programs = {PresetProgram{"One", {0.25f}}, PresetProgram{"Two", {0.75f}}};
    PresetFile opaqueBank = bank;
    opaqueBank.opaque = true;
    opaqueBank.formatVersion = 2;
    opaqueBank.currentProgram = 3;
    opaqueBank.count = 4;
    opaqueBank.programs.clear();
    opaqueBank.chunk = "the whole bank";
    for (const PresetFile& written : {opaqueProgram, bank, opaqueBank}) {
        const std::string bytes = written.bytes();
        const auto back = PresetFile::parse(bytes);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->bytes(), bytes);
        EXPECT_EQ(back->kind, written.kind);
        EXPECT_EQ(back->opaque, written.opaque);
        EXPECT_EQ(back->pluginId, written.pluginId);
        EXPECT_EQ(back->chunk, written.chunk);
        EXPECT_EQ(back->currentProgram, written.currentProgram);
        ASSERT_EQ(back->programs.size(), written.kind == PresetFile::Kind::program ? 1u : written.programs.size());
        // Every prefix of a good file is a file cut short.
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            EXPECT_FALSE(PresetFile::parse(bytes.substr(0, size))) << size << " of " << bytes.size();
        }
    }
    EXPECT_EQ(bank.bytes().substr(8, 4), "FxBk");
    EXPECT_EQ(opaqueBank.bytes().substr(8, 4), "FBCh");
    EXPECT_EQ(opaqueBank.bytes().substr(24, 4), big32(4)) << "programs counted";
    EXPECT_EQ(opaqueBank.bytes().substr(28, 4), big32(3)) << "the current program in version 2";
    EXPECT_EQ(opaqueBank.bytes().size(), 8 + 4 * 5 + 128 + 4 + 14u);
}

TEST(PresetFile, RefusesWhatItCannotTrustInOneLine) {
    const std::string good = handMadeProgram();
    std::string newer = good;
    newer.replace(12, 4, big32(2));
    std::string longer = good;
    longer.replace(4, 4, big32(static_cast<std::uint32_t>(good.size() - 7)));  // one byte more than follows
    std::string shorterRecord = good;
    shorterRecord.replace(4, 4, big32(static_cast<std::uint32_t>(good.size() - 12)));
    PresetFile bank;
    bank.kind = PresetFile::Kind::bank;
    const std::string goodBank = bank.bytes();
    std::string newerBank = bank.bytes();
    newerBank.replace(12, 4, big32(3));
    bank.formatVersion = 2;
    bank.programs = {PresetProgram{"One", {0.25f}}, PresetProgram{"Line\nTwo\x1b[2J", {0.5f, NAN}}};
    const std::string badValue = bank.bytes();
    bank.programs[1].parameters[1] = 0.5f;
    bank.currentProgram = 2;
    const std::string pastCurrent = bank.bytes();
    bank.currentProgram = -1;
    const std::string negativeCurrent = bank.bytes();
    PresetFile loud = *PresetFile::parse(good);
    loud.programs[0].parameters[0] = 1.5f;
    PresetFile endless = loud;
    endless.programs[0].parameters[0] = -INFINITY;
    const struct {
        std::string bytes;
        const char* says;
    } cases[] = {
        {"RIFF" + good.substr(4), "is no program or bank file"},
        {"RIFF" + goodBank.substr(4), "is no program or bank file"},
        {pastCurrent, "says program 2 is current; it holds 2 programs"},
        {negativeCurrent, "says program -1 is current"},
        {badValue, "program 1 \"Line\\x0ATwo\\x1B[2J\" parameter 1 the value nan"},
        {loud.bytes(), "program 0 \"Warm\" parameter 0 the value 1.5,"},
        {endless.bytes(), "the value -inf"},
        {newer, "program format version 2"},
        {newerBank, "bank format version 3"},
        {good + "x", "1 bytes after its end"},
        {longer, "is cut short"},
        {shorterRecord, "size field does not match"},
    };
    for (const auto& file : cases) {
        const auto read = PresetFile::parse(file.bytes);
        if (read) {
            ADD_FAILURE() << "read, not refused: " << file.says;
            continue;
        }
        EXPECT_NE(read.error().find(file.says), std::string::npos) << read.error();
        EXPECT_EQ(read.error().find('\n'), std::string::npos);
    }
}

#if !defined(_WIN32)
TEST(PresetFile, OnDiskNeitherReadsWithoutEndNorLosesTheOldFileToAFailedWrite) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vsthost-preset-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directory(folder);
    const auto refusal = [](const std::string& path) {
        const auto read = PresetFile::read(path);
        return read ? std::string("read") : read.error();
    };
    EXPECT_NE(refusal("/dev/zero").find("'/dev/zero': it is no regular file"), std::string::npos);
    const std::string huge = (folder / "huge.fxb").string();
    std::ofstream(huge).close();
    fs::resize_file(huge, PresetFile::kLargestFile + 1);  // sparse: it takes no disk
    EXPECT_NE(refusal(huge).find("it holds more than"), std::string::npos) << refusal(huge);

    const std::string kept = (folder / "kept.fxp").string();
    const std::string good = handMadeProgram();
    ASSERT_TRUE(vsthost::FileName::write(kept, good.data(), good.size()));
    // A disk that fills up: no file may grow past 64 bytes, and the signal for it is ignored.
    rlimit was{};
    getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = was;
    small.rlim_cur = 64;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string longer = good + good;
    const auto failed = vsthost::FileName::write(kept, longer.data(), longer.size());
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, handler);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), "File too large");
    const auto still = PresetFile::read(kept);
    ASSERT_TRUE(still) << still.error();
    EXPECT_EQ(still->bytes(), good);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2) << "a part left behind";

    const std::string full = (folder / "full.fxp").string();
    fs::create_symlink("/dev/full", full);
    const auto onFull = vsthost::FileName::write(full, good.data(), good.size());
    ASSERT_FALSE(onFull);
    EXPECT_EQ(onFull.error(), "No space left on device");
    const auto nowhere = vsthost::FileName::write((folder / "none" / "x.fxp").string(), good.data(), good.size());
    ASSERT_FALSE(nowhere);
    EXPECT_EQ(nowhere.error(), "No such file or directory");
    fs::remove_all(folder);
}
#else
// A file another program holds open, as an editor or a player does on Windows, cannot be
// replaced: the write fails, the old file stays, and nothing is left beside it.
TEST(PresetFile, OnDiskAFileHeldOpenStaysWithNothingLeftBeside) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vsthost-preset-held-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directory(folder);
    const std::string kept = (folder / "kept.fxp").string();
    const std::string good = handMadeProgram();
    ASSERT_TRUE(vsthost::FileName::write(kept, good.data(), good.size()));
    HANDLE held = CreateFileA(kept.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string longer = good + good;
    const auto failed = vsthost::FileName::write(kept, longer.data(), longer.size());
    CloseHandle(held);
    EXPECT_FALSE(failed);
    const auto still = PresetFile::read(kept);
    ASSERT_TRUE(still) << still.error();
    EXPECT_EQ(still->bytes(), good);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "a part left behind";
    fs::remove_all(folder);
}
#endif
