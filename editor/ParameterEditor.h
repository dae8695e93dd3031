#pragma once
// An editor whose controls stand for the effect's parameters. A bound control carries its
// parameter's index as its tag and this editor as its listener: its edits reach the host as
// automated changes, and a value that anyone else set (the host's automation, a program
// change) shows at the next idle. A plug-in's editor binds its controls in `open` and keeps
// no bookkeeping of its own.
//
// Every operation runs on the host's user-interface thread.

#include "AEffGUIEditor.h"
#include "CControlListener.h"

#include <cstdint>
#include <string>
#include <vector>

class CControl;
class CValueEntry;

class ParameterEditor : public AEffGUIEditor, public CControlListener {
public:
    explicit ParameterEditor(AudioEffect* effect);
    ~ParameterEditor() override;

    // Lets the controls go, then closes the frame.
    void close() override;
    // Shows every parameter whose value changed since the last idle, then redraws.
    void idle() override;
    // Shows `value` on every control bound to parameter `index`; the host is not told.
    void setParameter(VstInt32 index, float value) override;
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;

    // Sends the control's new value to the host and shows it on the parameter's other controls.
    void valueChanged(CDrawContext* context, CControl* control) override;

protected:
    // Opens the editor in the host's `window` with a frame the size of the editor's rectangle;
    // false, with nothing left open, when the frame cannot be made.
    bool openFrame(void* window);
    // Binds `control`, made with this editor as its listener, to parameter `control->getTag()`
    // and shows the parameter's value on it. Holds a reference until the editor closes.
    void bind(CControl* control);
    // Draws the bound `control` again whenever parameter `index` changes as well, for a view
    // whose look depends on more than its own parameter (a delay time shown as a note value
    // while a sync parameter is on).
    void dependOn(CControl* control, VstInt32 index);
    // The effect's own text for each of `steps` values of parameter `index`, evenly from 0 to
    // 1, as its `getParameterDisplay` writes it: the items of a step menu on the parameter.
    // The parameter is set to each value in turn, then back to the one it had: audio processed
    // meanwhile on another thread may hear those values, so where it must never, give the
    // names yourself.
    std::vector<std::string> stepTexts(VstInt32 index, std::int32_t steps);
    // A double click on `control` opens `entry` for typing its value instead of restoring the
    // default; bind both to the one parameter, and the typed value is one edit. Both are held
    // until the editor closes.
    void typeInto(CControl* control, CValueEntry* entry);

private:
    struct Dependency {
        CControl* control; // bound, so held
        VstInt32 index;
        float seen;
    };

    bool inGesture(VstInt32 index) const;
    void releaseControls();

    std::vector<CControl*> bound;
    std::vector<Dependency> dependencies;
    struct Typing {
        CControl* control; // held
        CValueEntry* entry; // held
    };
    std::vector<Typing> typings;
    // A parameter in the middle of a gesture follows the mouse, not the effect.
    std::vector<VstInt32> editing;
};
