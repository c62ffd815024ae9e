#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// JournalFile is the journal's file as the till holds it for its whole run:
// made when missing (its folder 0700, the file 0600, whatever the umask),
// locked by the file itself, its device and inode, so that no second till
// reaches it by any path, a symbolic or a hard link included, and watched,
// so that a till whose file was moved or deleted stops writing.
class JournalFile {
public:
    // Refuses what is not a plain file path: file: URIs, :memory: and other
    // names SQLite would take as something else. Throws JournalError.
    static void checkPath(const std::string& path);

    // Opens the journal at `path`, making it and its folder when missing,
    // and takes its lock. Throws JournalError when another till holds it or
    // it cannot be made; a path refused leaves nothing behind.
    explicit JournalFile(const std::string& path);
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;
    ~JournalFile();

    // Throws JournalError when the path no longer names the file locked at
    // the start: it was moved, renamed or deleted under the till.
    void checkStillThere() const;

    // Removes the file and the folders made for it, when the file is empty:
    // for a journal that could not be started.
    void forgetIfEmpty();

    // Returns true when the file did not exist before.
    bool isNew() const;

private:
    void makeFolders();
    void removeMadeFolders();

    std::string path;
    int descriptor = -1;
    dev_t device = 0;
    ino_t inode = 0;
    bool created = false;
    // The folders made for the journal, the innermost last.
    std::vector<std::string> madeFolders;
};
