#include "checks/ItemCheck.h"
#include "items/Maindish.h"

int main() { return runItemCheck<Maindish>("noodle", "Noodle", 9.0); }
