#include "console/LibraryItems.h"

void putInCart(Cart& cart, ItemKind kind, const std::string& name, Money price, Money cost) {
    switch (kind) {
        case ItemKind::dish:
            cart.addMaindish(Maindish(name, price.toDouble(), cost.toDouble()));
            break;
        case ItemKind::snack:
            cart.addSnack(Snack(name, price.toDouble(), cost.toDouble()));
            break;
        case ItemKind::drink:
            cart.addDrink(Drink(name, price.toDouble(), cost.toDouble()));
            break;
    }
}

double libraryTotalCost(ItemKind kind, const std::string& name, Money price, Money cost) {
    switch (kind) {
        case ItemKind::dish:
            return Maindish(name, price.toDouble(), cost.toDouble()).totalCost();
        case ItemKind::snack:
            return Snack(name, price.toDouble(), cost.toDouble()).totalCost();
        case ItemKind::drink:
            return Drink(name, price.toDouble(), cost.toDouble()).totalCost();
    }
    return cost.toDouble();
}

LibraryMenus::LibraryMenus(const Menu& menu) {
    for (const MenuItem& item : menu.of(ItemKind::dish)) {
        maindishes.addMaindish(Maindish(item.name, item.price.toDouble(), item.cost.toDouble()));
    }
    for (const MenuItem& item : menu.of(ItemKind::snack)) {
        snacks.addSnack(Snack(item.name, item.price.toDouble(), item.cost.toDouble()));
    }
    for (const MenuItem& item : menu.of(ItemKind::drink)) {
        drinks.addDrink(Drink(item.name, item.price.toDouble(), item.cost.toDouble()));
    }
}
