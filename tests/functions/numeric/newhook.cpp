// The model tests' operator new that fails on request, shared by this test program.
#include "tests/model/newhook.cpp"
