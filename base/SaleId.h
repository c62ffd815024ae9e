#pragma once

#include <string>

// Returns a new sale id: a random UUID (version 4), so that sales made on
// different tills never share one and their journals can be merged.
std::string newSaleId();
