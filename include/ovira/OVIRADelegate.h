#pragma once

#include <string>

namespace ovira {

// The host's listener for the outcome of a verification.
class OVIRADelegate {
public:
    virtual ~OVIRADelegate() = default;
    // The user submitted their verified identity; sessionId is the session's
    // transaction identifier (empty if the session was cleared meanwhile).
    // Called on the GUI thread.
    virtual void didEKYCSuccessWithSessionId(const std::string& sessionId) = 0;
};

}  // namespace ovira
