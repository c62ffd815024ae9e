// Compiled, not run: every MISUSE_* variant must be rejected by the compiler,
// and the file without one must compile, so the rejections are the misuse's.
#include <memory>

#include "items/Drink.h"
#include "items/Food.h"

void use(Drink& drink, Drink& other) {
    Food& food = drink;
    (void)food.totalCost();
#if defined(MISUSE_DELETE_THROUGH_BASE)
    Food* owner = new Drink("juice", 1.0, 1.0);
    delete owner;
#elif defined(MISUSE_OWN_THROUGH_BASE)
    std::unique_ptr<Food> owner = std::make_unique<Drink>("juice", 1.0, 1.0);
#elif defined(MISUSE_ASSIGN_THROUGH_BASE)
    food = other;
#elif defined(MISUSE_SLICE_A_COPY)
    auto sliced = static_cast<Food>(drink);
#elif defined(MISUSE_DERIVE_FROM_A_KIND)
    struct Special : Drink {
        using Drink::Drink;
    };
#endif
    (void)other;
}
