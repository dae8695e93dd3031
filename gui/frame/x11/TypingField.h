#pragma once
// The field typed into on X11, the toolkit's own: drawn by the frame over its views, fed with
// the keys the frame's window receives and those the host passes on, with a caret that moves
// with the arrows, Home and End. It opens with its whole text selected, so the first character
// typed replaces it.

#include "TextField.h"

#include "CPoint.h"
#include "CRect.h"

#include <cstddef>
#include <string>

class CDrawContext;
class CFrame;
struct VstKeyCode;

class TypingField final : public TextField {
public:
    TypingField(CFrame& frame, const CRect& where, const char* text, Ended ended);
    ~TypingField() override;

    void* nativeHandle() const override { return const_cast<TypingField*>(this); }

    // True when the field used the key; the field may have ended (and been destroyed) by then.
    bool key(const VstKeyCode& key);
    // A click inside the field is its own; elsewhere it ends the field without applying.
    bool takesClickAt(const CPoint& where);
    void cancel() { finish(false); }
    void draw(CDrawContext* context) const;

    const CRect& area() const { return where; }
    const std::string& text() const { return typed; }
    std::size_t caretPosition() const { return caret; }
    bool wholeTextSelected() const { return selected; }

private:
    void finish(bool apply);
    void insert(char character);
    void clear();

    CFrame& frame;
    CRect where;
    std::string typed;
    std::size_t caret;
    bool selected = true;
    bool open = true;
    Ended ended;
};
