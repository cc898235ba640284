#include "functiontestutil.h"

namespace vl::test {

TEST(BesselFunctions, BesselErrorAndStep) {
    CheckPrinted({
        {"=BESSELJ(1.9,2)", "0.32992572769239"},
        {"=BESSELY(2.5,1)", "0.14591813796679"},
        {"=BESSELJ(0,0)", "1"},
        {"=BESSELJ(1.9,-1)", "#NUM!"},
        {"=BESSELY(0,1)", "#NUM!"},
        {"=BESSELY(-1,1)", "#NUM!"},
        {"=BESSELJ(1.9,2.5)-BESSELJ(1.9,3)", "0", 0},
        // Orders beyond 100,000 would take the library seconds.
        {"=BESSELJ(1,100000)", "0"},
        {"=BESSELJ(1,100001)", "#NUM!"},
        {"=BESSELJ(1,2147483647)", "#NUM!"},
        {"=ERF(0.745,)", "0.70792891807065"},
        // The value the incomplete gamma series gives, not erfc(1) to full precision.
        {"=ERFC(1)", "0.15729921001143", 1e-12},
        {"=ERF(-0.745,)+ERF(0.745,)", "0", 0},
        {"=ERFC(-1)-(2-ERFC(1))", "0", 1e-15},
        {"=ERF(0.3,0.3)", "0"},
        {"=ERF(0,)", "0"},
        {"=ERF(0,0.745)", "0.70792891807065"},
        {"=ERF(A1,0.745)", "0.70792891807065"},
        {"=ERF(\"x\",)", "#NUM!"},
        {"=ERF(1)", "#SYNTAX!"},
        {"=DELTA(12,11)", "0"},
        {"=DELTA(0,)", "1"},
        {"=DELTA(0.1+0.2,0.3)", "0"},
        {"=GETSTEP(1.4,)", "1"},
        {"=GETSTEP(5,5)", "1"},
        {"=GETSTEP(4,5)", "0"},
        {"=GETSTEP(-1,)", "0"},
    });
}

} // namespace vl::test
