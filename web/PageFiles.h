#pragma once

#include <string_view>
#include <vector>

// The page's files as the build embeds them: each name, and its text.
struct PageFile {
    const char* name;
    std::string_view text;
};

const std::vector<PageFile>& pageFiles();
