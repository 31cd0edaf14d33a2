#pragma once

#include "platform/SingleCopy.h"

namespace ondrevan::testing {

// The run lock of every copy of the program at once: `heldElsewhere` is a run of another
// copy; `unknown` a lock that cannot be read.
class FakeRunLock : public RunLock {
  public:
    Claim TryClaim() override {
        if (unknown) return Claim::Unknown;
        if (heldElsewhere || held) return Claim::Busy;
        held = true;
        ++claims;
        return Claim::Claimed;
    }
    void Release() override {
        held = false;
        ++releases;
    }
    bool heldElsewhere = false;
    bool unknown = false;
    bool held = false;
    int claims = 0, releases = 0;
};

class FakeSingleCopy : public SingleCopy {
  public:
    Start ClaimWindowOrHandOver() override { return answer; }
    std::optional<bool> CopyRunning() override { return running; }
    Start answer = Start::First;
    std::optional<bool> running = false;
};

}  // namespace ondrevan::testing
