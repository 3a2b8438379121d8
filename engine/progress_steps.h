#pragma once
#include <cstdint>

#include "job_link.h"

// The progress bar counts blocks of 1024 bytes: one step whenever the position
// enters a new block, so at most one message per 1024 bytes.
class ProgressSteps {
public:
    explicit ProgressSteps(JobLink& link) : link_(link) {}

    void Start(uint32_t length) {
        link_.ProgressSetRange(static_cast<uint16_t>((length >> 10) + 1));
        link_.ProgressSetStep(1);
        lastBlock_ = 0;
    }
    void Check(uint32_t position) {
        if ((position >> 10) != lastBlock_) {
            lastBlock_ = position >> 10;
            link_.ProgressStepIt();
        }
    }
    // The steps of a stretch that was scanned without this object, so that the
    // bar ends where it would have: `count` steps, the last at `position`.
    void StepsMadeElsewhere(uint32_t count, uint32_t position) {
        for (uint32_t i = 0; i < count; ++i) link_.ProgressStepIt();
        lastBlock_ = position >> 10;
    }

private:
    JobLink& link_;
    uint32_t lastBlock_ = 0;
};
