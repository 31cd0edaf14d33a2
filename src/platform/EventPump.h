#pragma once

namespace ondrevan {

// "Let pending window messages run": other handlers may run inside this call.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
    // Waits up to the given time for a message, then lets the pending ones run: for loops
    // that wait on something a message will bring.
    virtual void WaitForEvents(int milliseconds) = 0;
};

}  // namespace ondrevan
