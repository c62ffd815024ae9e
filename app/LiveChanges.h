#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "control/ControlSocket.h"

#include "service/DayService.h"

// The owner's changes while a till serves: each goes to the till that holds
// the journal, through its control socket, and takes effect there at once;
// with no till serving, the journal is changed directly, as before.

// Returns the exit status of the change carried out by the serving till,
// or nothing when no till serves that journal.
[[nodiscard]] std::optional<int> changedByTheTill(const std::string& journalFile,
                                                  const nlohmann::json& request);

// Listens for the owner's changes beside the journal the service holds;
// null, said on standard error, when it cannot: the till serves on.
[[nodiscard]] std::unique_ptr<ControlSocket> listenForChanges(DayService& service,
                                                              const std::string& journalPath);

// `restaurant sold-out KIND ITEM` and `restaurant available KIND ITEM`: the
// marks last for the day being served, so a till must serve.
int markSoldOut(const std::vector<std::string>& words, const std::string& journalFile, bool out);
