#include "base/StaffRole.h"

std::optional<StaffRole> roleNamed(std::string_view name) {
    if (name == "waiter") {
        return StaffRole::waiter;
    }
    if (name == "manager") {
        return StaffRole::manager;
    }
    if (name == "kitchen") {
        return StaffRole::kitchen;
    }
    return std::nullopt;
}

std::string nameOf(StaffRole role) {
    switch (role) {
        case StaffRole::waiter:
            return "waiter";
        case StaffRole::manager:
            return "manager";
        case StaffRole::kitchen:
            return "kitchen";
    }
    return "waiter";
}
