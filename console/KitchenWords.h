#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/Moment.h"
#include "service/Refusal.h"
#include "service/Results.h"

// KitchenWords puts what the kitchen's commands did, and why they were
// refused, in the till's words, one line each; and says when a printer goes
// offline and comes back.
class KitchenWords {
public:
    explicit KitchenWords(std::ostream& out);

    // A send, or a FIRE when the result names a course.
    void sent(const Sent& sent, std::int32_t customer);
    void reprinted(const TicketMarked& queued);
    // Says why a kitchen command was refused; false when the refusal is not
    // the kitchen's.
    bool refused(const Refusal& refusal, std::int32_t customer);

    // Says which printers went offline, or came back, since it last said.
    void printers(const std::shared_ptr<const std::map<std::string, Moment>>& offline);

    // Returns "kitchen printer offline since 19:42", or with no moment,
    // "kitchen printer is back online".
    static std::string printerLine(const std::string& station, std::optional<Moment> offlineSince);

private:
    std::ostream& out;
    std::shared_ptr<const std::map<std::string, Moment>> said;
};
