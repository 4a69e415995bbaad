// libFuzzer target: any bytes as a document, taken by the road FuzzRoads::TextFormRoundTrip: the text form must parse back to itself.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzRoads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
    Logic::FuzzRoads::TextFormRoundTrip(std::string(reinterpret_cast<const char*>(aData), aSize));
    return 0;
}
