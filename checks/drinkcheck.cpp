#include "checks/ItemCheck.h"
#include "items/Drink.h"

int main() { return runItemCheck<Drink>("juice", "Juice", 7.0); }
