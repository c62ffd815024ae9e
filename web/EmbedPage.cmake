# Writes OUTPUT, a C++ source that holds the files named in FILES (in folder
# SOURCE) as the byte arrays pageFiles() hands out:
#   cmake -DSOURCE=... -DOUTPUT=... -DFILES=a,b -P EmbedPage.cmake
string(REPLACE "," ";" FILES "${FILES}")
set(arrays "")
set(entries "")
set(index 0)
foreach(name IN LISTS FILES)
    file(READ "${SOURCE}/${name}" bytes HEX)
    string(LENGTH "${bytes}" hex_length)
    math(EXPR length "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(APPEND arrays "const unsigned char file${index}[] = {${bytes}0};\n")
    string(APPEND entries "        {\"${name}\", std::string_view(reinterpret_cast<const char*>(file${index}), ${length})},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new"
     "// Made by EmbedPage.cmake from web/page: do not edit.\n"
     "#include \"web/PageFiles.h\"\n\nnamespace {\n\n${arrays}\n}  // namespace\n\n"
     "const std::vector<PageFile>& pageFiles() {\n"
     "    static const std::vector<PageFile> files = {\n${entries}    };\n"
     "    return files;\n}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
