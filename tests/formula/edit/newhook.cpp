// The model tests' operator new, which can be made to throw, for the editing tests too.
#include "tests/model/newhook.cpp"
