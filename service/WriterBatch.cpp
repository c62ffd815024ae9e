#include "service/WriterBatch.h"

#include <new>

namespace {

// Says why in words, or, when even the words cannot be had, that memory ran
// out.
std::optional<std::string> because(const char* why) noexcept {
    try {
        return std::string(why);
    } catch (...) {
        return std::string("out of memory");
    }
}

}  // namespace

WriterBatch::WriterBatch(Journal& journal) : journal(journal) { journal.beginBatch(); }

WriterBatch::~WriterBatch() {
    if (!over) {
        journal.rollbackBatch();
    }
}

std::optional<std::string> WriterBatch::commit() noexcept {
    over = true;
    try {
        journal.commitBatch();
        return std::nullopt;
    } catch (const std::exception& failure) {
        journal.rollbackBatch();
        return because(dynamic_cast<const std::bad_alloc*>(&failure) != nullptr ? "out of memory"
                                                                                : failure.what());
    } catch (...) {
        journal.rollbackBatch();
        return because("the journal failed");
    }
}

WriterChange::WriterChange(WriterBatch& batch) : batch(batch) { batch.journal.beginChange(); }

WriterChange::~WriterChange() {
    if (!released) {
        batch.journal.undoChange();
    }
}

void WriterChange::release() {
    batch.journal.releaseChange();
    released = true;
}
