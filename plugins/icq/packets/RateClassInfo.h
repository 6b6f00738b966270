// One rate class of the rate-limit reply, paired by position with its group.
#pragma once

#include <vector>

struct RateClassInfo {
    unsigned short classId = 0;
    unsigned int windowSize = 0;
    unsigned int clearLevel = 0;
    unsigned int alertLevel = 0;
    unsigned int limitLevel = 0;
    unsigned int disconnectLevel = 0;
    unsigned int currentLevel = 0;
    unsigned int maximumLevel = 0;
    unsigned int lastTime = 0;
    unsigned char currentState = 0;
    unsigned short groupClassId = 0;
    // (family << 16) | subtype of every SNAC in the group.
    std::vector<unsigned int> pairs;
};
