#pragma once

#include <optional>
#include <string>

#include "journal/Journal.h"

// WriterBatch is one batch of the writer's, as a scope: it begins the
// journal's batch, and takes back whatever the batch wrote unless it was
// committed, however the scope is left.
class WriterBatch {
public:
    explicit WriterBatch(Journal& journal);
    WriterBatch(const WriterBatch&) = delete;
    WriterBatch& operator=(const WriterBatch&) = delete;
    ~WriterBatch();

    // Makes the batch durable; returns why it could not, when it could not,
    // and then none of it is kept.
    [[nodiscard]] std::optional<std::string> commit() noexcept;

private:
    friend class WriterChange;

    Journal& journal;
    bool over = false;
};

// WriterChange is one command's change within a batch, as a scope: a
// savepoint, taken back unless released, however the scope is left.
class WriterChange {
public:
    explicit WriterChange(WriterBatch& batch);
    WriterChange(const WriterChange&) = delete;
    WriterChange& operator=(const WriterChange&) = delete;
    ~WriterChange();

    // Keeps the change in its batch.
    void release();

private:
    WriterBatch& batch;
    bool released = false;
};
