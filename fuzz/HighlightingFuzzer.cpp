// libFuzzer target: any bytes as a document in the editor, coloured by FuzzRoads::Highlight.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzRoads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
    Logic::FuzzRoads::Highlight(std::string(reinterpret_cast<const char*>(aData), aSize));
    return 0;
}
