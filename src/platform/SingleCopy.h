#pragma once

#include <optional>

namespace ondrevan {

// One run at a time over one user's folder list, whichever copy of the program starts it:
// the window's scheduler and test button, or /run beside the window.
class RunLock {
  public:
    enum class Claim {
        Claimed,  // this run may go on; Release when it ends
        Busy,     // another run over the list is under way
        Unknown,  // whether one is could not be found out: the run must not go on either
    };
    // Never waits: the window's thread must not stop, nor a script hang.
    virtual Claim TryClaim() = 0;
    virtual void Release() = 0;

  protected:
    ~RunLock() = default;
};

// One copy with a window per user and session: a second start shows the first one's window.
class SingleCopy {
  public:
    enum class Start {
        First,       // no other copy has a window: this one goes on and holds the claim
        HandedOver,  // the other copy was asked to show its window: this one ends
        NoAnswer,    // another copy holds the claim, but its window could not be reached
        LockHeld,    // the claim's name is held, but no window of the program is open for
                     // this user: whoever holds it is not known
    };
    virtual Start ClaimWindowOrHandOver() = 0;
    // Whether a copy holds the claim now, without claiming: nothing when it cannot be found
    // out. The schedule runs only while one does.
    virtual std::optional<bool> CopyRunning() = 0;

  protected:
    ~SingleCopy() = default;
};

}  // namespace ondrevan
