#include "functiontestutil.h"

namespace vl::test {

TEST(ComplexFunctions, BuildingReadingAndParts) {
    CheckFormulas({
        {"=COMPLEX(1,2,)", "1 + 2i"},
        {"=COMPLEX(3.5,4.6,\"j\")", "3.5 + 4.6j"},
        {"=COMPLEX(3,0,)", "3 + 0i"},
        {"=COMPLEX(3,-4,)", "3 - 4i"},
        {"=COMPLEX(-0,-0,)", "0 + 0i"},
        {"=COMPLEX(\"a\",1,)", "#NUM!"},
        {"=COMPLEX(1,2)", "#SYNTAX!"},
        {"=IMABS(\"5 + 12i\")", "13"},
        {"=IMABS(\"0\")", "0"},
        {"=IMABS(\"1.5E308+1.5E308i\")", "#VALUE!"},
        {"=IMABS(\"1E308+1E308i\")", "1.4142135623731e+308"},
        {"=IMREAL(\"3 + 4i\")", "3"},
        {"=IMAGINARY(\"3 + 4i\")", "4"},
        {"=IMAGINARY(\"-i\")", "-1"},
        {"=IMAGINARY(\"i\")", "1"},
        {"=IMREAL(\"1+2j\")", "1"},
        {"=IMREAL(\"-3\")", "-3"},
        {"=IMAGINARY(\"4i\")", "4"},
        {"=IMREAL(\"\")", "0"},
        {"=IMREAL(5)", "5"},
        {"=IMREAL(\"1 + 2i \")", "#VALUE!"},
        {"=IMREAL(\"1 + 2k\")", "#VALUE!"},
        {"=IMREAL(\"1 + 2\")", "#VALUE!"},
        {"=IMREAL(\"1E999\")", "#VALUE!"},
        {"=IMARGUMENT(\"0\")", "0"},
        {"=IMCONJUGATE(\"3 + 4i\")", "3 - 4i"},
        {"=IMCONJUGATE(\"3\")", "3 + 0i"},
        {"=IMSUB(\"10 + 5i\",\"9 + 4i\")", "1 + 1i"},
        {"=IMDIV(\"1 + 2i\",\"2 + 1i\")", "0.8 + 0.6i"},
        {"=IMDIV(-1,1)", "-1 + 0i"},
        {"=IMDIV(\"1 + 2i\",\"1 + 2i\")", "1 + 0i"},
        {"=IMDIV(\"1 + 2i\",\"2i\")", "1 - 0.5i"},
        {"=IMDIV(\"1 + 2i\",0)", "#NUM!"},
        {"=IMDIV(\"x\",0)", "#VALUE!"},
        {"=IMPRODUCT(\"3+4i\",\"5-3i\")", "27 + 11i"},
        {"=IMPRODUCT({\"1+i\",\"1-i\"},2)", "4 + 0i"},
        {"=IMPRODUCT(\"1E200\",\"1E200\")", "#NUM!"},
        {"=IMSUM(\"1 + 1i\",\"2 + 2i\",{\"1 + 1i\",\"1 + 1i\"},1,\"1i\")", "6 + 6i"},
        {"=IMSUM(\"1 + 1i\",\"x\")", "#VALUE!"},
        {"=IMSUM(\"1 + 1i\",1/0)", "#DIV/0!"},
        {"=IMSUM()", "#SYNTAX!"},
        {"=IMSQRT(\"0\")", "0 + 0i"},
        {"=IMPOWER(\"0\",2)", "0 + 0i"},
        {"=IMPOWER(\"0\",0)", "1 + 0i"},
        {"=IMPOWER(\"0\",-1)", "#NUM!"},
        {"=IMLN(\"0\")", "#NUM!"},
        {"=IMLOG10(\"0\")", "#NUM!"},
        {"=IMCONJUGATE({\"1+i\",\"2\"})", "{\"1 - 1i\", \"2 + 0i\"}"},
    });
}

// Results compared part by part, within the tolerance given.
TEST(ComplexFunctions, ComputedValues) {
    CheckPrinted({
        {"=IMPOWER(\"2+3i\",3)", "-46 + 9i", 1e-12},
        {"=IMEXP(\"1 + 1i\")", "1.46869393991589 + 2.28735528717884i", 1e-13},
        {"=IMARGUMENT(\"3 + 4i\")", "0.927295218001612", 1e-13},
        {"=IMREAL(IMLN(\"3 + 4i\"))", "1.6094379124341"},
        {"=IMAGINARY(IMCOS(\"1 + 1i\"))", "-0.98889770576287"},
        {"=IMCOS(\"1 + 1i\")", "0.833730025131149 - 0.988897705762865i", 1e-14},
        {"=IMSIN(\"1 + 1i\")", "1.29845758141598 + 0.634963914784736i", 1e-14},
        {"=IMLN(\"-1\")", "0 + 3.14159265358979i", 1e-14},
        {"=IMSQRT(\"-4\")", "0 + 2i", 1e-15},
        {"=IMSQRT(\"3 + 4i\")", "2 + 1i", 1e-15},
        {"=IMLOG10(\"100\")", "2 + 0i", 1e-13},
        {"=IMLOG2(\"8\")", "3 + 0i", 1e-13},
        {"=IMPOWER(\"1+i\",-2)", "0 - 0.5i", 1e-15},
    });
}

} // namespace vl::test
