#pragma once
// The Linux scan's way to 32-bit Windows libraries where this machine cannot run 32-bit code:
// the 32-bit Windows vsthost inspects them all in one run of the emulated machine (each in a
// child of its own there) and prints a line per library, which comes back here. The guest sees
// copies, under names of their own (nameInGuest); its one slow start serves the whole batch.

#include <cstddef>
#include <string>
#include <vector>

#include "ChildWork.h"

namespace vsthost {

class GuestScan {
public:
    // The emulated machine runs code about ten times slower than this one.
    static constexpr int kSlowness = 10;

    struct Outcome {
        bool started = false;                // false: there is no guest to run, `failure` says why
        std::string failure;                 // empty when the run ended well
        std::vector<std::size_t> unreadable; // libraries that could not be handed to the guest
    };

    // Runs `program` in the guest on `libraries` with `seconds` for each library as this
    // machine counts them; its output lines go to `output`.
    static Outcome run(const std::string& program, const std::vector<std::string>& libraries, int seconds,
                       const ChildWork::OutputSink& output);
    // The name the library at `index` of the batch has in the guest.
    static std::string nameInGuest(std::size_t index, const std::string& path);
};

}  // namespace vsthost
