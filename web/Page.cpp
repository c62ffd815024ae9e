#include "web/Page.h"

#include "web/PageFiles.h"

std::optional<Page::File> Page::find(const std::string& path) {
    const std::string name = path == "/"          ? "/index.html"
                             : path == "/kitchen" ? "/kitchen.html"
                                                  : path;
    for (const PageFile& file : pageFiles()) {
        if (name == std::string("/") + file.name) {
            const std::string extension = name.substr(name.rfind('.') + 1);
            const std::string type = extension == "html"  ? "text/html; charset=utf-8"
                                     : extension == "css" ? "text/css; charset=utf-8"
                                     : extension == "js"  ? "text/javascript; charset=utf-8"
                                                          : "image/svg+xml";
            return File{type, file.text};
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> Page::headers() {
    return {{"Content-Security-Policy",
             "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
             "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'"},
            {"X-Content-Type-Options", "nosniff"},
            {"Referrer-Policy", "no-referrer"},
            {"Cache-Control", "no-cache"}};
}
