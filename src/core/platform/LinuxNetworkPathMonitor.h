#pragma once

#include <string>
#include <thread>

#include "platform/NetworkPathMonitor.h"

namespace ovira {

// The path to one host, watched through rtnetlink: every link, address or
// route change makes it look again whether the kernel has a route to the host
// over an interface that is up and running. A service on loopback therefore
// counts as reachable as soon as "lo" is up.
//
// The host is never resolved through DNS, which could stall the watcher:
// an address literal is looked up as it is, "localhost" (and "*.localhost")
// means loopback, and any other name counts as reachable when there is a
// route to the internet (the default route of either family).
class LinuxNetworkPathMonitor final : public NetworkPathMonitor {
public:
    explicit LinuxNetworkPathMonitor(std::string host);
    ~LinuxNetworkPathMonitor() override;

    // The status now, asked of the kernel from the calling thread.
    static NetworkPathStatus evaluate(const std::string& host);

private:
    void startWatching() override;
    void stopWatching() override;
    void watch(int netlinkSocket);

    std::string host_;
    int wakeFd_ = -1;
    std::thread watcher_;
};

}  // namespace ovira
