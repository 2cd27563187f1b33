#pragma once

namespace corvalo::platform {

// Runs the Qt events that are waiting, then returns; it never blocks. A socket
// wait calls it between its own poll() slices, and those slices are where the
// wait sleeps, so the pair neither spins nor freezes the window.
class QtMessagePump {
  public:
    // At most this long per call, so a stream of timers and repaints cannot
    // keep the wait that called it from seeing its socket.
    static constexpr int kMaxBusyMs = 50;

    void processMessages();
};

}  // namespace corvalo::platform
