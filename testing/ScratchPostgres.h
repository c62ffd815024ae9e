#pragma once

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

// ScratchPostgres is a PostgreSQL 15 server of the tests' own, in a scratch
// folder under /tmp, listening on a Unix socket there alone, never on the
// network. PostgreSQL refuses to run as root: where the tests do, the
// server runs as the unprivileged user `postgres` that Debian's package
// makes. It is stopped and its folder removed at the end.
class ScratchPostgres {
public:
    ScratchPostgres() {
        std::string pattern = "/tmp/restaurant-pg-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder for PostgreSQL");
        }
        folder = pattern;
        if (geteuid() == 0) {
            const passwd* user = getpwnam("postgres");
            if (user == nullptr || chown(folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
                throw std::runtime_error("the tests run as root and there is no user postgres");
            }
            asUser = "runuser -u postgres -- ";
        }
        run(asUser + bin + "initdb -D " + folder + "/data -A trust -U restaurant -E UTF8 " +
            "--no-sync >" + folder + "/initdb.log 2>&1");
        start();
    }
    ScratchPostgres(const ScratchPostgres&) = delete;
    ScratchPostgres& operator=(const ScratchPostgres&) = delete;
    ~ScratchPostgres() {
        (void)std::system((asUser + bin + "pg_ctl -D " + folder + "/data -m immediate -w stop " +
                           ">/dev/null 2>&1")
                              .c_str());
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void start() const {
        run(asUser + bin + "pg_ctl -D " + folder + "/data -l " + folder + "/server.log -w -t 60 " +
            "-o \"-k " + folder + " -c listen_addresses='' -c fsync=off\" start >/dev/null");
    }
    // Stops the server at once, as a crash or a pulled cable would.
    void stop() const {
        run(asUser + bin + "pg_ctl -D " + folder + "/data -m fast -w stop >/dev/null");
    }

    // Makes a database of that name; returns its libpq connection string.
    std::string database(const std::string& name) const {
        run(asUser + bin + "createdb -h " + folder + " -U restaurant " + name);
        return url(name);
    }
    std::string url(const std::string& name) const {
        return "host=" + folder + " user=restaurant dbname=" + name;
    }

private:
    static void run(const std::string& command) {
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("PostgreSQL failed: " + command);
        }
    }

    const std::string bin = "/usr/lib/postgresql/15/bin/";
    std::string folder;
    std::string asUser;
};
