// The flow's look, kept apart from the members that show and close it.
#include "ovira/qt/OVIRAFlow.h"
#include "resources/EKYCTheme.h"

namespace ovira {

void OVIRAFlow::setTheme(const OVIRATheme& theme) {
    EKYCTheme::set(theme);
}

OVIRATheme OVIRAFlow::theme() {
    return EKYCTheme::current();
}

}  // namespace ovira
