#pragma once
// The validation run: checks of the kind professional plug-in validators make, each reported
// on a line of its own, and a closing count.

#include <string>
#include <vector>

#include "CheckReport.h"
#include "Effect.h"
#include "Expected.h"
#include "PluginLibrary.h"
#include "ProcessResources.h"

namespace vsthost {

class Validator {
public:
    struct Options {
        bool passThrough = false;  // adds the bit-exact pass-through checks
    };

    Validator(const PluginLibrary& library, Options options);
    // Runs every check; true when none failed.
    bool run();
    const CheckReport& report() const { return report_; }

private:
    bool checkEntryPoint();
    void checkRecord(const AEffect& record);
    void checkInstancesInTurn();
    void checkInstancesAlive();
    void checkOpcodeSweep();
    void checkStartUp();
    void checkProcessing();
    void checkParameters();
    void checkPrograms();
    void checkThreads();
    void checkEditor();
    void checkEditorResources(const ProcessResources& before, const ProcessResources& after);
    void checkPassThrough();

    // A new instance, or a failed check named `purpose` when there is none.
    Expected<Effect> fresh(const std::string& purpose);
    void step(const std::string& text);

    const PluginLibrary& library_;
    Options options_;
    CheckReport report_;
};

}  // namespace vsthost
