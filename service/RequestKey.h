#pragma once

#include <string>

// RequestKey is the key a device sends with a change so that the change,
// sent again, is made once: bound to its request by a fingerprint of who
// sent it, its method, its path and a hash of its body. The same key with
// another request is told apart, and changes nothing.
struct RequestKey {
    std::string key;
    // BLAKE2b-256 of the request's staff, method, path and body.
    std::string fingerprint;

    // Returns the key bound to that request; no key for an empty one.
    static RequestKey of(const std::string& key, const std::string& staff,
                         const std::string& method, const std::string& path,
                         const std::string& body);
    bool empty() const;
};
