// The importer's settings as the renderer passes them: one Base64 argument per
// line of the input. Whatever decodes must read back through every getter and
// survive its own encoding unchanged.
#include "common/ImportArgs.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

ImportArgs decode(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    static char program[] = "mayaimport";
    argv.push_back(program);
    for (std::string& a : arguments) argv.push_back(a.data());
    return ImportArgs(int(argv.size()), argv.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') arguments.emplace_back();
        else arguments.back() += char(data[i]);
    }
    const ImportArgs args = decode(arguments);
    for (int key = 0; key < LAST; ++key) {
        args.getString(key, "");
        args.getInt(key, 0);
        args.getBool(key, false);
        args.getDouble(key, 0);
        std::free(args.getCString(key, ""));
    }
    std::vector<std::string> encoded;
    args.encode(encoded);
    if (decode(encoded).entries() != args.entries()) std::abort();   // encoding lost or changed a setting
    return 0;
}
