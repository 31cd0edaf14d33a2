#pragma once

namespace ondrevan {

// "Let pending window messages run": other handlers may run inside this call.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

}  // namespace ondrevan
