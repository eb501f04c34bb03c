#pragma once

#include <functional>

namespace ovira {

// Runs a session: a fresh transaction identifier, then the flow's launch.
class EKYCApplication {
public:
    using FlowLauncher = std::function<void()>;

    // Clears the stored transaction identifier and stores a new one.
    void startSession();

    // startSession(), then the installed flow launcher (the UI layer installs
    // one; without it nothing is presented and nothing fails). While a flow
    // is on screen it does nothing but log: the flow keeps its session.
    void start();

    // Installed once by the UI layer; thread-safe.
    static void setFlowLauncher(FlowLauncher launcher);
};

}  // namespace ovira
