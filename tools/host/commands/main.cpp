// vsthost: loads a VST 2.4 plug-in binary of this platform and drives it without a DAW. On
// Linux, a Windows plug-in goes to the Windows vsthost of its width, run under Wine or in the
// emulated 32-bit machine.

#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DemoCommand.h"
#include "EditorCommand.h"
#include "FileName.h"
#include "Host.h"
#include "InfoCommand.h"
#include "PresetCommand.h"
#include "ProcessCommand.h"
#include "ScanCommand.h"
#include "ShellChoice.h"
#include "ValidateCommand.h"
#if !defined(_WIN32)
#include "WindowsHostCommand.h"
#endif

namespace {

constexpr const char* kUsage =
    "usage: vsthost COMMAND PLUGIN [ARGUMENTS] [--trace]\n"
    "  info PLUGIN                                 record, flags, versions, pins, parameters\n"
    "  process PLUGIN [IN] OUT [--block N] [--rate R] [--map auto|direct|repeat|mix] [--timeout S]\n"
    "          [--midi FILE.mid] [--tail S] [--tempo BPM] [--meter N/D] [--preset FILE]\n"
    "                                              stream an audio file (WAV, AIFF, FLAC) through\n"
    "                                              the plug-in into OUT (.wav, .aiff or .flac);\n"
    "                                              --midi plays a song into it (an instrument\n"
    "                                              needs no IN and renders the song and --tail,\n"
    "                                              2 s); the time follows the song's tempo map,\n"
    "                                              else --tempo (120) and --meter (4/4);\n"
    "                                              --preset starts from a .fxp or .fxb file\n"
    "          [--param NAME=VALUE]... [--automation FILE] [+ PLUGIN [its options]]... [--double]\n"
    "                                              --param sets a parameter (index or name; 0..1\n"
    "                                              or the plug-in's text, \"-6 dB\"); --automation\n"
    "                                              changes them on their frames; + chains plug-ins,\n"
    "                                              each with its own --param, --preset, --automation;\n"
    "                                              --double processes in double precision\n"
    "  validate PLUGIN [--level 1|2|3|normal|strict|hostile] [--passthrough] [--timeout S]\n"
    "           [--preset FILE] [--junit FILE]     validation run, one line per check; every\n"
    "           [--json]                           instance starts from --preset's state;\n"
    "                                              --json: the report as one JSON document\n"
    "  demo PLUGIN [--dir DIR] [--timeout S]       test signal, bit-exact check, validation,\n"
    "                                              a picture of the editor\n"
    "  editor PLUGIN [--idle N] [--shot FILE] [--scale F]\n"
    "                                              show the editor (at scale F, 1 to 4), idle it\n"
    "                                              N times at 30 per second, save a BMP picture,\n"
    "                                              time one idle\n"
    "  preset save PLUGIN OUT.fxp|OUT.fxb [--program N]\n"
    "                                              the plug-in's program or bank as a preset file\n"
    "  preset show FILE                            what a program or bank file holds\n"
    "  scan FOLDER... [--timeout S] [--json]       every plug-in library in the folders, each in a\n"
    "                                              child of its own (S seconds, 30): name, vendor,\n"
    "                                              id, kind, pins, parameters, editor, binary; a\n"
    "                                              shell's members; what broke the broken ones\n"
    "                                              (on Linux, Windows DLLs go to a Windows vsthost\n"
    "                                              of their width: 32-bit ones all in one run of\n"
    "                                              the emulated machine, with 10 x S each)\n"
    "  --shell ID                                  a shell's plug-in (ID: four characters or a\n"
    "                                              number) for any command on a shell\n"
    "  --json                                      info and scan as one JSON document on stdout\n"
    "  --trace                                     log every host call on stderr\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace vsthost;
#if defined(_WIN32)
    // The arguments as typed, in UTF-8, not as the machine's code page can spell them.
    std::vector<std::string> typed = FileName::arguments();
    std::vector<char*> pointers;
    for (auto& argument : typed) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(typed.size());
    argv = pointers.data();
#endif
    auto line = CommandLine::parse(argc, argv);
    if (!line) {
        std::fprintf(stderr, "vsthost: %s\n%s", line.error().c_str(), kUsage);
        return 2;
    }
    if (line->has("--shell")) {
        const auto member = ShellChoice::parse(line->options.at("--shell"));
        if (!member) {
            std::fprintf(stderr, "vsthost: %s\n", member.error().c_str());
            return 2;
        }
        ShellChoice::choose(*member);
    }
    // A scan hands Windows libraries on by itself, one at a time or together.
    if (line->command == "scan") return ScanCommand::run(*line);
#if !defined(_WIN32)
    if (const auto status = WindowsHostCommand::run(*line, argc, argv)) return *status;
#endif
    Host::instance().setTrace(line->has("--trace"));
    const std::string& command = line->command;
    if (command == "info") return InfoCommand::run(*line);
    if (command == "process") return ProcessCommand::run(*line);
    if (command == "validate") return ValidateCommand::run(*line);
    if (command == "demo") return DemoCommand::run(*line);
    if (command == "editor") return EditorCommand::run(*line);
    if (command == "preset") return PresetCommand::run(*line);
    if (command == "help") {
        std::printf("%s", kUsage);
        return 0;
    }
    std::fprintf(stderr, "vsthost: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
