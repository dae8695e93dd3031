#pragma once
// Hears about value changes that a control made by itself. The editor implements it; a
// listener must outlive the controls that hold it, which neither retain nor release it.

#include <cstdint>

class CControl;
class CDrawContext;

class CControlListener {
public:
    virtual ~CControlListener() = default;

    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;       // 0
    virtual std::int32_t reservedNotify(std::int32_t, std::int32_t, std::int32_t) { // 1
        return 0;
    }
};
