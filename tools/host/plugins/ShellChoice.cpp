#include "ShellChoice.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Effect.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

// A shell that never answers 0 must not keep the host asking.
constexpr int kMemberLimit = 4096;

bool printable(VstInt32 id) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!std::isprint((static_cast<unsigned>(id) >> shift) & 0xFF)) return false;
    }
    return true;
}

}  // namespace

Expected<VstInt32> ShellChoice::parse(const std::string& text) {
    const bool numeric = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (text.size() == 4 && !numeric) {
        return fourCharacters(text[0], text[1], text[2], text[3]);
    }
    if (numeric) {
        errno = 0;
        const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
        if (errno == 0 && value != 0 && value <= 0xFFFFFFFFull) {
            return static_cast<VstInt32>(static_cast<std::uint32_t>(value));
        }
    }
    return Error{"--shell wants a plug-in's id as four characters or a number, not '" + text + "'"};
}

std::string ShellChoice::idText(VstInt32 id) {
    const std::string number = std::to_string(static_cast<std::uint32_t>(id));
    if (!printable(id)) return number;
    const auto bits = static_cast<std::uint32_t>(id);
    const char characters[] = {static_cast<char>(bits >> 24), static_cast<char>(bits >> 16),
                               static_cast<char>(bits >> 8), static_cast<char>(bits), '\0'};
    return std::string("'") + characters + "' " + number;
}

bool ShellChoice::isShell(Effect& effect) { return effect.dispatch(effGetPlugCategory) == kShellCategory; }

std::vector<ShellMember> ShellChoice::members(Effect& shell) {
    std::vector<ShellMember> found;
    for (int count = 0; count < kMemberLimit; ++count) {
        // Room beyond the name's size, for shells that write past it.
        char name[kNameSize * 4] = {};
        const auto id = static_cast<VstInt32>(shell.dispatch(effShellGetNextPlugin, 0, 0, name));
        if (id == 0) break;
        name[kNameSize - 1] = '\0';
        found.push_back({id, name});
    }
    return found;
}

std::string ShellChoice::listText(const std::vector<ShellMember>& members) {
    std::string text;
    for (const auto& member : members) {
        if (!text.empty()) text += ", ";
        text += idText(member.id) + " \"" + member.name + "\"";
    }
    return text.empty() ? "none" : text;
}

Expected<bool> ShellChoice::confirm(const PluginLibrary& library) {
    if (confirmed_) return true;
    auto shell = Effect::enter(library, 0);
    if (!shell) return Error{shell.error()};
    if (!isShell(*shell)) {
        return Error{"'" + library.path() + "' is no shell: --shell picks a plug-in inside a shell"};
    }
    shell->dispatch(effOpen);
    const auto held = members(*shell);
    for (const auto& member : held) {
        if (member.id == chosen_) {
            confirmed_ = true;
            return true;
        }
    }
    return Error{"the shell '" + library.path() + "' holds no plug-in " + idText(chosen_) + "; it holds " +
                 listText(held)};
}

std::string ShellChoice::refusal(Effect& shell, const std::string& path) {
    shell.dispatch(effOpen);
    const auto held = members(shell);
    return "'" + path + "' is a shell of " + std::to_string(held.size()) + " plug-ins: pick one with --shell ID (" +
           listText(held) + ")";
}

}  // namespace vsthost
