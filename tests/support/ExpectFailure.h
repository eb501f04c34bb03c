#pragma once

#include <gtest/gtest.h>

#include "ovira/EKYCAPIError.h"

namespace ovira::test {

// Runs the call and returns the EKYCAPIError it throws; a call that succeeds
// fails the test.
template <class Call>
EKYCAPIError failureOf(Call&& call) {
    try {
        call();
    } catch (const EKYCAPIError& error) {
        return error;
    }
    ADD_FAILURE() << "expected an EKYCAPIError";
    return EKYCAPIError(0);
}

}  // namespace ovira::test
