// A scene file as a person hands it to glowbox-dal: whatever reads must check,
// summarise and dump without a fault, and a dump must read back.
#include "sceneapi/DalCheck.h"
#include "sceneapi/DalReader.h"
#include "sceneapi/DalSummary.h"
#include "tools/glowbox-dal/DalDump.h"

#include <cstdlib>
#include <sstream>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    dal::Document document;
    dal::ReadError error;
    if (!dal::read(std::string_view(reinterpret_cast<const char*>(data), size), document, error)) return 0;
    dal::check(document);
    std::ostringstream sink;
    dal::printSummary(sink, dal::summarize(document, ""));
    std::ostringstream dumped;
    daltool::dump(dumped, document);
    dal::Document again;
    if (!dal::read(dumped.str(), again, error)) std::abort();
    return 0;
}
