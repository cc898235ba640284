#pragma once
// Bessel functions J_n(x) and Y_n(x) of large integer order by the uniform expansion in Airy
// functions, in time independent of n and x. Meant for n of about 10^4 and above, where the
// expansion's first four coefficients reach double precision; a value that overflows comes
// back infinite, a failure of the underlying library as NaN.

namespace vl {

double LargeOrderBesselJ(int n, double x);
double LargeOrderBesselY(int n, double x);

} // namespace vl
