#include "screens/base/EKYCBaseViewModel.h"

namespace ovira {

bool EKYCBaseViewModel::publishIfUnauthorized(const EKYCAPIError& error) {
    if (!error.status() || *error.status() != EKYCHTTPStatusCode::unauthorized) return false;
    unAuthorizedPublisher.send(error.message());
    return true;
}

}  // namespace ovira
