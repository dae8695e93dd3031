#pragma once
// Hears about value changes that a control made by itself. The editor implements it; a
// listener must outlive the controls that hold it, which neither retain nor release it.

#include <cstdint>

class CControl;
class CDrawContext;

// The two operations are the listener's only table entries: it has no virtual destructor, and
// is never deleted through this interface.
class CControlListener {
public:
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;       // 0
    virtual std::int32_t reservedNotify(std::int32_t, std::int32_t, std::int32_t) { // 1
        return 0;
    }

protected:
    ~CControlListener() = default;
};
