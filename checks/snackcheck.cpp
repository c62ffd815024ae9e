#include "checks/ItemCheck.h"
#include "items/Snack.h"

int main() { return runItemCheck<Snack>("nuggets", "Nuggets", 8.0); }
