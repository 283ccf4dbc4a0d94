// The window's type names for tidemark-cli, in a module that the program loads only for the
// commands that show or sort by type: a rename never pays for loading Qt Core. The entry point
// is plain C, so that no object of either side's C++ runtime crosses between them.

#include <cerrno>
#include <cstddef>
#include <new>
#include <string_view>

#include "typenames/mime_type_namer.h"

// Sets *text to the type text of the entry at path (a folder when isFolder is not 0), valid
// until the process ends, and returns 0; ENOMEM when memory ran out, EIO when the lookup failed.
extern "C" __attribute__((visibility("default"))) int tidemark_cli_type_name(
    const char* path, std::size_t length, int isFolder, const char** text) noexcept {
    try {
        static tidemark::typenames::MimeTypeNamer namer;
        *text = namer.Lookup(std::string_view(path, length), isFolder != 0).typeName.c_str();
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (...) {
        return EIO;
    }
}
