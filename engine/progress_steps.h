#pragma once
#include <cstdint>

#include "engine/job_link.h"

// Reports a stage's progress by blocks of 1024 bytes: once whenever the
// position enters a new block, so at most one report per 1024 bytes.
class ProgressSteps {
public:
    explicit ProgressSteps(JobLink& link) : link_(link) {}

    void Start(JobStage stage, uint32_t length) {
        link_.StageStarted(stage, length);
        lastBlock_ = 0;
    }
    void Check(uint32_t position) {
        if ((position >> 10) != lastBlock_) {
            lastBlock_ = position >> 10;
            link_.StageAdvanced(position);
        }
    }

private:
    JobLink& link_;
    uint32_t lastBlock_ = 0;
};
