#include "EditorSession.h"

#include "CheckContext.h"
#include "Opcodes.h"

namespace vsthost {

bool EditorSession::open() {
    const VstIntPtr answer = effect_.dispatch(effEditOpen, 0, 0, host_.handle());
    HostWindow::pumpMessages();
    return answer != 0 || host_.hasChildWindow();
}

void EditorSession::idle(int times) {
    for (int i = 0; i < times; ++i) {
        effect_.dispatch(effEditIdle);
        HostWindow::pumpMessages();
    }
}

bool EditorSession::close() {
    effect_.dispatch(effEditClose);
    HostWindow::pumpMessages();
    return !host_.hasChildWindow();
}

int EditorSession::cycles(CheckContext& context, int times, const std::string& step) {
    int good = 0;
    for (int cycle = 0; cycle < times; ++cycle) {
        context.step(step + " " + std::to_string(cycle + 1));
        const bool opened = open();
        idle(3);
        if (close() && opened) ++good;
    }
    return good;
}

}  // namespace vsthost
