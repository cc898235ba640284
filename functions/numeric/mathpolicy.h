#pragma once
// The error policy of every Boost.Math call: failures come back as values (NaN for a
// domain error, infinity for an overflow, 0 for an underflow) that the built-ins turn into
// their formula errors, never as exceptions.

#include <boost/math/policies/policy.hpp>

namespace vl {

using MathPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::denorm_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::indeterminate_result_error<boost::math::policies::ignore_error>>;

} // namespace vl
