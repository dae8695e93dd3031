#include "ParameterEditor.h"

#include "AudioEffect.h"
#include "CControl.h"
#include "CFrame.h"
#include "CValueEntry.h"

#include <algorithm>
#include <new>

ParameterEditor::ParameterEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}

ParameterEditor::~ParameterEditor() { releaseControls(); }

bool ParameterEditor::openFrame(void* window) {
    if (frame) close();
    AEffGUIEditor::open(window);
    frame = new (std::nothrow) CFrame(CRect(0, 0, rect.right, rect.bottom),
                                      toNativeWindow(window), this);
    if (frame) return true;
    close();
    return false;
}

void ParameterEditor::close() {
    releaseControls();
    editing.clear();
    delete frame;
    frame = nullptr;
    AEffGUIEditor::close();
}

void ParameterEditor::idle() {
    if (!frame) return;
    for (CControl* control : bound) {
        const VstInt32 index = control->getTag();
        if (inGesture(index)) continue;
        const float value = effect->getParameter(index);
        // A NaN would count as a change at every idle; the control keeps what it shows.
        if (value == value && control->getValue() != value) control->setValue(value);
    }
    for (Dependency& dependency : dependencies) {
        const float value = effect->getParameter(dependency.index);
        if (value == value && value != dependency.seen) {
            dependency.seen = value;
            dependency.control->setDirty(true);
        }
    }
    AEffGUIEditor::idle();
}

void ParameterEditor::setParameter(VstInt32 index, float value) {
    for (CControl* control : bound) {
        if (control->getTag() == index) control->setValue(value);
    }
}

void ParameterEditor::beginEdit(VstInt32 index) {
    editing.push_back(index);
    AEffGUIEditor::beginEdit(index);
}

void ParameterEditor::endEdit(VstInt32 index) {
    const auto found = std::find(editing.begin(), editing.end(), index);
    if (found != editing.end()) editing.erase(found);
    AEffGUIEditor::endEdit(index);
}

void ParameterEditor::valueChanged(CDrawContext*, CControl* control) {
    const VstInt32 index = control->getTag();
    const float value = control->getValue();
    effect->setParameterAutomated(index, value);
    for (CControl* other : bound) {
        if (other != control && other->getTag() == index) other->setValue(value);
    }
}

void ParameterEditor::bind(CControl* control) {
    if (!control) return;
    control->retain();
    bound.push_back(control);
    control->setValue(effect->getParameter(control->getTag()));
}

void ParameterEditor::dependOn(CControl* control, VstInt32 index) {
    if (!control || std::find(bound.begin(), bound.end(), control) == bound.end()) return;
    dependencies.push_back({control, index, effect->getParameter(index)});
}

std::vector<std::string> ParameterEditor::stepTexts(VstInt32 index, std::int32_t steps) {
    std::vector<std::string> texts;
    if (steps < 1) return texts;
    const float kept = effect->getParameter(index);
    for (std::int32_t step = 0; step < steps; ++step) {
        effect->setParameter(index, steps == 1 ? 0.0f : static_cast<float>(step) / static_cast<float>(steps - 1));
        // Room for what effects write past the nominal eight characters.
        char text[256] = {};
        effect->getParameterDisplay(index, text);
        texts.emplace_back(text);
    }
    effect->setParameter(index, kept);
    return texts;
}

void ParameterEditor::typeInto(CControl* control, CValueEntry* entry) {
    if (!control || !entry) return;
    control->retain();
    entry->retain();
    typings.push_back({control, entry});
    control->setDoubleClickAction([entry] { entry->startTyping(); });
}

bool ParameterEditor::inGesture(VstInt32 index) const {
    return std::find(editing.begin(), editing.end(), index) != editing.end();
}

void ParameterEditor::releaseControls() {
    dependencies.clear();
    for (const Typing& typing : typings) {
        typing.control->setDoubleClickAction({});
        typing.control->release();
        typing.entry->release();
    }
    typings.clear();
    for (CControl* control : bound) control->release();
    bound.clear();
}
