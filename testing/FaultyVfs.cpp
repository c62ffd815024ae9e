#include "testing/FaultyVfs.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sqlite3.h>

namespace {

struct Faults {
    FaultyVfs::Operation operation = FaultyVfs::Operation::write;
    int countdown = 0;  // 0: disarmed
    int error = SQLITE_IOERR;
    bool injected = false;
    bool readOnly = false;
    bool skipSyncs = false;
};
Faults faults;

// Syncs wait at the gate while it is held; the faults are armed before it
// opens, so that a sync sees them.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false;
    int held = 0;
    // Syncs let go while the gate is held.
    int passes = 0;
};
Gate gate;

void passGate() {
    std::unique_lock<std::mutex> lock(gate.mutex);
    if (gate.holding) {
        ++gate.held;
        gate.changed.notify_all();
        gate.changed.wait(lock, [] { return !gate.holding || gate.passes > 0; });
        --gate.held;
        if (gate.holding) {
            --gate.passes;
        }
    }
}

// Returns true when this operation is the one to fail.
bool failsNow(FaultyVfs::Operation operation) {
    if (faults.countdown == 0 || faults.operation != operation || --faults.countdown != 0) {
        return false;
    }
    faults.injected = true;
    return true;
}

// A file of this VFS: SQLite's own file of the default VFS follows it in
// the same allocation.
struct FaultyFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_vfs* defaultVfs = nullptr;

sqlite3_file* real(sqlite3_file* file) { return reinterpret_cast<FaultyFile*>(file)->real; }

int close(sqlite3_file* file) { return real(file)->pMethods->xClose(real(file)); }
int read(sqlite3_file* file, void* into, int amount, sqlite3_int64 offset) {
    return real(file)->pMethods->xRead(real(file), into, amount, offset);
}
int write(sqlite3_file* file, const void* from, int amount, sqlite3_int64 offset) {
    if (failsNow(FaultyVfs::Operation::write)) {
        return faults.error;
    }
    return real(file)->pMethods->xWrite(real(file), from, amount, offset);
}
int truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (failsNow(FaultyVfs::Operation::write)) {
        return faults.error;
    }
    return real(file)->pMethods->xTruncate(real(file), size);
}
int sync(sqlite3_file* file, int flags) {
    passGate();
    if (failsNow(FaultyVfs::Operation::sync)) {
        return faults.error;
    }
    if (faults.skipSyncs) {
        return SQLITE_OK;
    }
    return real(file)->pMethods->xSync(real(file), flags);
}
int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    return real(file)->pMethods->xFileSize(real(file), size);
}
int lock(sqlite3_file* file, int level) { return real(file)->pMethods->xLock(real(file), level); }
int unlock(sqlite3_file* file, int level) {
    return real(file)->pMethods->xUnlock(real(file), level);
}
int checkReservedLock(sqlite3_file* file, int* held) {
    return real(file)->pMethods->xCheckReservedLock(real(file), held);
}
int fileControl(sqlite3_file* file, int operation, void* argument) {
    return real(file)->pMethods->xFileControl(real(file), operation, argument);
}
int sectorSize(sqlite3_file* file) { return real(file)->pMethods->xSectorSize(real(file)); }
int deviceCharacteristics(sqlite3_file* file) {
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}
int shmMap(sqlite3_file* file, int page, int pageSize, int extend, void volatile** into) {
    return real(file)->pMethods->xShmMap(real(file), page, pageSize, extend, into);
}
int shmLock(sqlite3_file* file, int offset, int count, int flags) {
    return real(file)->pMethods->xShmLock(real(file), offset, count, flags);
}
void shmBarrier(sqlite3_file* file) { real(file)->pMethods->xShmBarrier(real(file)); }
int shmUnmap(sqlite3_file* file, int deleteFlag) {
    return real(file)->pMethods->xShmUnmap(real(file), deleteFlag);
}
int fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** into) {
    return real(file)->pMethods->xFetch(real(file), offset, amount, into);
}
int unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    return real(file)->pMethods->xUnfetch(real(file), offset, page);
}

const sqlite3_io_methods methods = {
    3,
    close,
    read,
    write,
    truncate,
    sync,
    fileSize,
    lock,
    unlock,
    checkReservedLock,
    fileControl,
    sectorSize,
    deviceCharacteristics,
    shmMap,
    shmLock,
    shmBarrier,
    shmUnmap,
    fetch,
    unfetch,
};

int open(sqlite3_vfs* vfs, sqlite3_filename path, sqlite3_file* file, int flags, int* openedAs) {
    auto* faulty = reinterpret_cast<FaultyFile*>(file);
    faulty->base.pMethods = nullptr;
    faulty->real = reinterpret_cast<sqlite3_file*>(faulty + 1);
    if (failsNow(FaultyVfs::Operation::open)) {
        return SQLITE_CANTOPEN;
    }
    if (faults.readOnly && (flags & SQLITE_OPEN_MAIN_DB) != 0) {
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    }
    const int opened = defaultVfs->xOpen(defaultVfs, path, faulty->real, flags, openedAs);
    if (opened == SQLITE_OK && faulty->real->pMethods != nullptr) {
        faulty->base.pMethods = &methods;
    }
    (void)vfs;
    return opened;
}

sqlite3_vfs faultyVfs;

}  // namespace

const char* FaultyVfs::name() {
    if (defaultVfs == nullptr) {
        defaultVfs = sqlite3_vfs_find(nullptr);
        faultyVfs = *defaultVfs;
        faultyVfs.zName = "faulty";
        faultyVfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + defaultVfs->szOsFile;
        faultyVfs.xOpen = open;
        faultyVfs.pNext = nullptr;
        sqlite3_vfs_register(&faultyVfs, 0);
    }
    return faultyVfs.zName;
}

void FaultyVfs::arm(Operation operation, int nth, int error) {
    faults.operation = operation;
    faults.countdown = nth;
    faults.error = error;
    faults.injected = false;
}

void FaultyVfs::disarm() { faults.countdown = 0; }

bool FaultyVfs::injected() { return faults.injected; }

void FaultyVfs::openReadOnly(bool readOnly) { faults.readOnly = readOnly; }

void FaultyVfs::skipSyncs(bool skip) { faults.skipSyncs = skip; }

void FaultyVfs::holdSyncs(bool hold) {
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        gate.holding = hold;
        gate.passes = 0;
    }
    gate.changed.notify_all();
}

void FaultyVfs::letOneSyncGo() {
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        ++gate.passes;
    }
    gate.changed.notify_all();
}

int FaultyVfs::heldSyncs() {
    std::lock_guard<std::mutex> lock(gate.mutex);
    return gate.held;
}
