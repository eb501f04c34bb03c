#include "platform/LinuxNetworkPathMonitor.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "ovira/EKYCLogger.h"

namespace ovira {

namespace {

struct Address {
    int family = AF_INET;
    std::array<unsigned char, 16> bytes{};
    std::size_t length() const { return family == AF_INET ? 4 : 16; }
};

std::optional<Address> parseAddress(const std::string& text) {
    Address address;
    if (::inet_pton(AF_INET, text.c_str(), address.bytes.data()) == 1) return address;
    address.family = AF_INET6;
    if (::inet_pton(AF_INET6, text.c_str(), address.bytes.data()) == 1) return address;
    return std::nullopt;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The addresses whose routes decide the status of `host`.
std::vector<Address> probesFor(std::string host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
    if (auto literal = parseAddress(host)) return {*literal};
    if (host == "localhost" || endsWith(host, ".localhost"))
        return {*parseAddress("127.0.0.1"), *parseAddress("::1")};
    // Documentation addresses: never local, so only a route to the internet reaches them.
    return {*parseAddress("198.51.100.1"), *parseAddress("2001:db8::1")};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// One request and the messages that answer it, on a private netlink socket.
class RouteQuery {
public:
    RouteQuery() : socket_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {
        if (socket_.get() < 0) return;
        timeval timeout{1, 0};  // the kernel answers at once; never hang on it
        ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    bool valid() const { return socket_.get() >= 0; }

    // The index of the interface that the route to `address` leaves by, if
    // there is a usable route.
    std::optional<int> outputInterface(const Address& address) {
        struct {
            nlmsghdr header;
            rtmsg route;
            char attributes[64];
        } request{};
        request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
        request.header.nlmsg_type = RTM_GETROUTE;
        request.header.nlmsg_flags = NLM_F_REQUEST;
        request.route.rtm_family = static_cast<unsigned char>(address.family);
        request.route.rtm_dst_len = static_cast<unsigned char>(address.length() * 8);
        auto* attribute = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&request) +
                                                    NLMSG_ALIGN(request.header.nlmsg_len));
        attribute->rta_type = RTA_DST;
        attribute->rta_len = static_cast<unsigned short>(RTA_LENGTH(address.length()));
        std::memcpy(RTA_DATA(attribute), address.bytes.data(), address.length());
        request.header.nlmsg_len = NLMSG_ALIGN(request.header.nlmsg_len) + RTA_ALIGN(attribute->rta_len);

        std::optional<int> result;
        exchange(&request.header, [&](const nlmsghdr* message) {
            if (message->nlmsg_type != RTM_NEWROUTE) return;
            const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(message));
            if (route->rtm_type != RTN_UNICAST && route->rtm_type != RTN_LOCAL) return;
            int length = static_cast<int>(RTM_PAYLOAD(message));
            for (auto* a = RTM_RTA(route); RTA_OK(a, length); a = RTA_NEXT(a, length)) {
                if (a->rta_type == RTA_OIF && RTA_PAYLOAD(a) >= sizeof(int)) {
                    int index = 0;
                    std::memcpy(&index, RTA_DATA(a), sizeof index);
                    result = index;
                }
            }
        });
        return result;
    }

    bool interfaceIsUp(int index) {
        struct {
            nlmsghdr header;
            ifinfomsg link;
        } request{};
        request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifinfomsg));
        request.header.nlmsg_type = RTM_GETLINK;
        request.header.nlmsg_flags = NLM_F_REQUEST;
        request.link.ifi_family = AF_UNSPEC;
        request.link.ifi_index = index;
        bool up = false;
        exchange(&request.header, [&](const nlmsghdr* message) {
            if (message->nlmsg_type != RTM_NEWLINK) return;
            const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(message));
            up = (link->ifi_flags & IFF_UP) && (link->ifi_flags & IFF_RUNNING);
        });
        return up;
    }

private:
    template <class Handler>
    void exchange(nlmsghdr* request, Handler&& handle) {
        request->nlmsg_seq = ++sequence_;
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(socket_.get(), request, request->nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                     sizeof kernel) < 0) {
            return;
        }
        alignas(nlmsghdr) char buffer[8192];
        for (;;) {
            const ssize_t received = ::recv(socket_.get(), buffer, sizeof buffer, 0);
            if (received < 0 && errno == EINTR) continue;
            if (received <= 0) return;
            auto length = static_cast<unsigned int>(received);
            for (auto* message = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(message, length);
                 message = NLMSG_NEXT(message, length)) {
                if (message->nlmsg_seq != sequence_) continue;  // a late answer to an earlier request
                if (message->nlmsg_type == NLMSG_ERROR || message->nlmsg_type == NLMSG_DONE) return;
                handle(message);
                if (!(message->nlmsg_flags & NLM_F_MULTI)) return;
            }
        }
    }

    FileDescriptor socket_;
    unsigned int sequence_ = 0;
};

}  // namespace

LinuxNetworkPathMonitor::LinuxNetworkPathMonitor(std::string host) : host_(std::move(host)) {}

LinuxNetworkPathMonitor::~LinuxNetworkPathMonitor() {
    cancel();
}

NetworkPathStatus LinuxNetworkPathMonitor::evaluate(const std::string& host) {
    RouteQuery query;
    if (!query.valid()) return NetworkPathStatus::satisfied;  // cannot tell: let the request itself decide
    for (const auto& probe : probesFor(host)) {
        if (const auto index = query.outputInterface(probe); index && query.interfaceIsUp(*index)) {
            return NetworkPathStatus::satisfied;
        }
    }
    return NetworkPathStatus::unsatisfied;
}

void LinuxNetworkPathMonitor::startWatching() {
    FileDescriptor netlink(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE));
    sockaddr_nl groups{};
    groups.nl_family = AF_NETLINK;
    groups.nl_groups =
        RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
    if (netlink.get() < 0 ||
        ::bind(netlink.get(), reinterpret_cast<sockaddr*>(&groups), sizeof groups) != 0) {
        // Without change notices the first answer is all there is; uploads still report their own failures.
        EKYCLogger("[Networking]", EKYCLogger::Subsystem::networking)
            .log("Cannot watch route changes (errno", errno, ")");
        report(evaluate(host_));
        return;
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        report(evaluate(host_));
        return;
    }
    watcher_ = std::thread([this, fd = netlink.release()] { watch(fd); });
}

void LinuxNetworkPathMonitor::stopWatching() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
    }
    if (watcher_.joinable()) watcher_.join();
    if (wakeFd_ >= 0) ::close(std::exchange(wakeFd_, -1));
}

void LinuxNetworkPathMonitor::watch(int netlinkSocket) {
    FileDescriptor netlink(netlinkSocket);
    NetworkPathStatus last = evaluate(host_);
    report(last);
    pollfd fds[2] = {{netlink.get(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        // Changes come in bursts (an address brings its routes): drain them,
        // wait for a short quiet spell, then look once.
        alignas(nlmsghdr) char buffer[8192];
        do {
            for (;;) {
                const ssize_t n = ::recv(netlink.get(), buffer, sizeof buffer, 0);
                if (n > 0 || (n < 0 && (errno == EINTR || errno == ENOBUFS))) continue;
                break;
            }
            fds[0].revents = fds[1].revents = 0;
        } while (::poll(fds, 2, 50) > 0 && !fds[1].revents);
        if (fds[1].revents) return;
        const NetworkPathStatus now = evaluate(host_);
        if (now != last) report(last = now);
    }
}

}  // namespace ovira
