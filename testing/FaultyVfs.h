#pragma once

// FaultyVfs is an SQLite VFS that wraps the system's default one and, when
// armed, fails the nth write, sync or open from then on, as a disk that
// breaks or fills up would; it can also open databases read-only, as for a
// file its user may not write, or skip every sync, to build a large journal
// quickly, or hold syncs until a test lets them go. Tests and benchmarks
// name it when opening a journal.
class FaultyVfs {
public:
    enum class Operation { write, sync, open };

    // Returns the VFS's name, registering it on first use.
    static const char* name();

    // Fails the nth `operation` (1 for the next) with SQLite's `error`, such
    // as SQLITE_IOERR_WRITE or SQLITE_FULL; the ones after it go through.
    static void arm(Operation operation, int nth, int error);
    static void disarm();
    // Returns true once an armed failure has been injected.
    static bool injected();
    // Opens every database file read-only from now on, or no longer.
    static void openReadOnly(bool readOnly);
    // Makes every sync do nothing from now on, or no longer.
    static void skipSyncs(bool skip);
    // Holds every sync from now on until released, as a slow disk would;
    // faults armed while a sync is held apply to it.
    static void holdSyncs(bool hold);
    // Lets one held sync, or the next to come, go on while the rest are held.
    static void letOneSyncGo();
    // Returns how many syncs are being held.
    static int heldSyncs();
};
