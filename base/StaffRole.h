#pragma once

#include <optional>
#include <string>
#include <string_view>

// StaffRole is what a member of staff may do: a waiter takes orders and
// payments, a manager may also void, close the day, give large discounts
// and change the menu, the settings and the staff, and the kitchen sees
// only its display. The owner at the console is a manager.
enum class StaffRole { waiter, manager, kitchen };

// Returns the role of that name, as the journal keeps it: "waiter",
// "manager" or "kitchen".
[[nodiscard]] std::optional<StaffRole> roleNamed(std::string_view name);
[[nodiscard]] std::string nameOf(StaffRole role);
