#pragma once

namespace ondrevan {

// Sets a flag for as long as it lives and clears it however the scope is left: for
// "a run is under way", "a question is up" and the like.
class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace ondrevan
