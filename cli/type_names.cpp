#include "cli/type_names.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace tidemark::cli {
namespace {

using TypeNameFunction = int (*)(const char* path, std::size_t length, int isFolder,
                                 const char** text);

#ifdef TIDEMARK_CLI_TYPE_MODULE
// Beside the program (the build tree), then where the install puts it relative to the program.
TypeNameFunction LoadTypeModule() {
    const std::string programFolder = platform::ParentFolder(platform::ExecutablePath());
    const std::string candidates[] = {
        platform::JoinPath(programFolder, TIDEMARK_CLI_TYPE_MODULE),
        platform::JoinPath(platform::JoinPath(programFolder, TIDEMARK_CLI_TYPE_MODULE_DIR),
                           TIDEMARK_CLI_TYPE_MODULE)};
    std::string error;
    for (const std::string& path : candidates) {
        // Kept loaded until the process ends: the type texts it returns live in it.
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            if (void* entry = dlsym(module, "tidemark_cli_type_name")) {
                return reinterpret_cast<TypeNameFunction>(entry);
            }
        }
        // The install's place is the one to name.
        if (const char* text = dlerror(); text != nullptr) {
            error = text;
        }
    }
    std::fprintf(stderr, "tidemark-cli: the window's type names are missing: %s\n", error.c_str());
    return nullptr;
}
#else
TypeNameFunction LoadTypeModule() {
    return nullptr;
}
#endif

}  // namespace

catalogue::TypeNamer WindowTypeNamer() {
    static const TypeNameFunction typeName = LoadTypeModule();
    if (typeName == nullptr) {
        return catalogue::DefaultTypeNamer;
    }
    return [](std::string_view path, bool isFolder) {
        const char* text = nullptr;
        switch (typeName(path.data(), path.size(), isFolder ? 1 : 0, &text)) {
            case 0:
                return catalogue::TypeInfo{text, 0};
            case ENOMEM:
                throw std::bad_alloc();
            default:
                // The record keeps an empty type, as after any failed lookup.
                throw std::runtime_error("type lookup failed");
        }
    };
}

}  // namespace tidemark::cli
