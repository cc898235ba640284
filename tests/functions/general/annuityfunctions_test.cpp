#include "functiontestutil.h"

namespace vl::test {

TEST(AnnuityFunctions, ClosedForms) {
    CheckPrinted({
        {"=PMT(8%/12,10,10000,,)", "-1037.03208935916"},
        {"=PMT(8%/12,10,10000,0,1)", "-1030.16432717798"},
        {"=PV(0.08/12,12*20,500,,0)", "-59777.1458511878"},
        {"=FV(0.5%,10,-200,-500,1)", "2581.40337406014"},
        {"=FV(0.5%,10,,-500,)", "525.570066020395"},
        {"=NPER(12%/12,-100,-1000,10000,1)", "59.6738656742946"},
        {"=NPER(1%,-100,1000,,)", "10.5886444594232"},
        {"=IPMT(0.1/12,1,36,8000,)", "-66.6666666666667"},
        {"=PPMT(10%/12,1,24,2000,,)", "-75.6231860083666"},
        // The timing is read, but the split stays the end-of-period one.
        {"=PPMT(10%/12,1,24,2000,,1)", "-75.6231860083666"},
        {"=PPMT(10%/12,1,24,2000,,2)", "#NUM!"},
        {"=CUMIPMT(0.0075,360,125000,13,24)", "-11135.2321307508"},
        {"=CUMPRINC(0.0075,360,125000,13,24)", "-934.107123420876"},
        {"=CUMIPMT(0.0075,360,125000,13,361)", "#VALUE!"},
        {"=CUMIPMT(0.0075,360,125000,24,13)", "0"},
        {"=CUMPRINC(0,360,125000,24,13)", "0"},
        {"=CUMPRINC(0,360,125000,13,24)", "#NUM!"},
        {"=CUMIPMT(0.0075,360,-1,13,24)", "#NUM!"},
        {"=PMT(0,10,1000,,)", "#NUM!"},
        {"=PV(0,10,100,,)", "#NUM!"},
        {"=FV(0,10,100,,)", "#NUM!"},
        {"=NPER(0,-100,1000,,)", "#NUM!"},
        {"=IPMT(0,1,36,8000,)", "#NUM!"},
        {"=PPMT(0,1,36,8000,,)", "#NUM!"},
        {"=PMT(-0.01,10,1000,,)", "#NUM!"},
        {"=PMT(0.01,-1,1000,,)", "#NUM!"},
        {"=NPER(1%,100,1000,,)", "-9.57859403981316"},
        {"=NPER(1%,-100,20000,,)", "#NUM!"},
        {"=PMT(0.01,10,1000,,)", "-105.582076551171"},
        {"=PMT(0.01,10,1000)", "#SYNTAX!"},
        {"=SUM(PMT({0.01,0.02},10,1000,,))", "-216.908604416488"},
    });
}

// Past 10,000 periods the sums are taken in closed form; they agree with the period by
// period sums (whose principal parts lose some digits to cancellation at small rates), and
// the principal of all periods is the whole loan.
TEST(AnnuityFunctions, CumulativeSumsOfManyPeriods) {
    CheckPrinted({
        {"=CUMPRINC(0.001,20000,1000,1,20000)", "-1000", 1e-9},
        {"=CUMIPMT(0.001,20000,1000,1,10001)/(CUMIPMT(0.001,20000,1000,1,10000)+"
         "CUMIPMT(0.001,20000,1000,10001,10001))",
         "1", 1e-10},
        {"=CUMPRINC(0.001,20000,1000,1,10001)/(CUMPRINC(0.001,20000,1000,1,10000)+"
         "CUMPRINC(0.001,20000,1000,10001,10001))",
         "1", 1e-7},
        {"=CUMPRINC(1E-9,2147483647,1000,1,2147483647)", "-1000", 1e-6},
        // The last period of all is summed without the count wrapping past it.
        {"=CUMIPMT(0.01,2147483647,1000,2147483647,2147483647)", "#NUM!"},
        {"=CUMPRINC(1E-12,2147483647,1000,2147483647,2147483647)", "-0.000000466", 1e-9},
    });
}

TEST(AnnuityFunctions, RateByIteration) {
    CheckPrinted({
        {"=RATE(48,-200,8000,,,)", "0.0077014724882"},
        {"=RATE(48,-200,8000,,,0.5)", "0.0077014724882"},
        {"=RATE(10,-100,1000,,,)", "0", 0},
        {"=RATE(1,0,-1,1000,,)", "999", 1e-9},
        // No positive rate brings the value to zero; the widening ends.
        {"=RATE(0,-100,500,,,)", "#NUM!"},
        {"=RATE(10,100,1000,,,)", "#NUM!"},
        {"=RATE(10,-100,1000,,2,)", "#NUM!"},
        {"=RATE(10,-100,1000,,,-1)", "#NUM!"},
        {"=RATE(1/0,-100,1000,,,)", "#DIV/0!"},
    });
}

} // namespace vl::test
