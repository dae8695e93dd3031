#pragma once
// Shells: libraries that hold several plug-ins. Asked in turn, a shell names each member and
// its unique id; its entry point opens the member whose id the host gives while it runs. The
// member this process works on is the one `--shell` picked; with none picked, commands refuse
// a shell and name its members instead.

#include <string>
#include <vector>

#include "AEffect.h"
#include "Expected.h"

namespace vsthost {

class Effect;
class PluginLibrary;

struct ShellMember {
    VstInt32 id = 0;
    std::string name;
};

class ShellChoice {
public:
    static constexpr VstIntPtr kShellCategory = 10;
    // Member names are at most this long, terminator included.
    static constexpr std::size_t kNameSize = 64;

    // The member this process opens; 0: the library's own plug-in.
    static void choose(VstInt32 id) { chosen_ = id; }
    static VstInt32 chosen() { return chosen_; }
    // An id as four characters ("Abcd") or as a number.
    static Expected<VstInt32> parse(const std::string& text);
    // "'Abcd' 1650553956" when the four characters are printable, else the number.
    static std::string idText(VstInt32 id);

    static bool isShell(Effect& effect);
    // The members an opened shell names.
    static std::vector<ShellMember> members(Effect& shell);
    // "'Abcd' 1650553956 "Name", ..." for messages.
    static std::string listText(const std::vector<ShellMember>& members);

    // Once per process, before the chosen member is opened: the library must be a shell that
    // holds it.
    static Expected<bool> confirm(const PluginLibrary& library);
    // The one line that refuses a shell opened without a member.
    static std::string refusal(Effect& shell, const std::string& path);

private:
    static inline VstInt32 chosen_ = 0;
    static inline bool confirmed_ = false;
};

}  // namespace vsthost
