#include "service/RequestKey.h"

#include "journal/EntryChain.h"

RequestKey RequestKey::of(const std::string& key, const std::string& staff,
                          const std::string& method, const std::string& path,
                          const std::string& body) {
    if (key.empty()) {
        return {};
    }
    std::string request = staff;
    for (const std::string* part : {&method, &path, &body}) {
        request += '\0';
        request += *part;
    }
    const EntryChain::Hash hash = EntryChain::digest(request);
    return {key, std::string(hash.begin(), hash.end())};
}

bool RequestKey::empty() const { return key.empty(); }
