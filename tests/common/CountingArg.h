// An event argument that counts the live instances of its kind, so a test can
// tell that every reference handed out was released.
#pragma once

#include <atomic>

#include "EventArgData.h"

class CCountingArg : public CEventArg_Data<int> {
public:
    explicit CCountingArg(int value = 0) : CEventArg_Data<int>(value) { ++s_live; }
    CCountingArg(const CCountingArg& other) : CEventArg_Data<int>(other) { ++s_live; }
    CCountingArg& operator=(const CCountingArg&) = default;
    ~CCountingArg() override { --s_live; }

    static int Live() { return s_live; }

private:
    static inline std::atomic<int> s_live{0};
};
