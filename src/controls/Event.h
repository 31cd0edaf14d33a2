#pragma once

#include <functional>
#include <utility>

namespace ondrevan {

// One handler per event, as a designer-built form has: the form wires it once.
template <class... Args>
class Event {
  public:
    void Handle(std::function<void(Args...)> handler) { handler_ = std::move(handler); }
    void Raise(Args... args) const {
        if (handler_) handler_(args...);
    }

  private:
    std::function<void(Args...)> handler_;
};

}  // namespace ondrevan
