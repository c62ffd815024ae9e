#pragma once

#include <utility>

#include "lists/Drinklist.h"
#include "lists/Maindishlist.h"
#include "lists/Snacklist.h"

// addTo appends an item to the list of its kind under one name, for code that
// treats the three lists alike.
inline void addTo(Maindishlist& list, Maindish item) { list.addMaindish(std::move(item)); }
inline void addTo(Snacklist& list, Snack item) { list.addSnack(std::move(item)); }
inline void addTo(Drinklist& list, Drink item) { list.addDrink(std::move(item)); }
