// A check program built as drinkcheck is, on a kind whose surcharge is wrong.
#include "checks/ItemCheck.h"
#include "tests/WrongKinds.h"

int main() { return runItemCheck<WrongSurcharge>("juice", "Juice", 7.0); }
