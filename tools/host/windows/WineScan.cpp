#include "WineScan.h"

#include "LineRelay.h"
#include "WineLauncher.h"

namespace vsthost {

std::string WineScan::run(const std::string& program, const std::vector<std::string>& arguments, int seconds,
                          const ChildWork::OutputSink& output) {
    const auto start = [&] { return WineLauncher::replaceProcess(program, arguments); };
    return ChildWork::run([&] { return LineRelay::relay("the Windows vsthost under Wine", start); }, {}, seconds,
                          output);
}

}  // namespace vsthost
