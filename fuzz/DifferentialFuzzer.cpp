// libFuzzer target: any bytes as a document, taken by the road FuzzRoads::DecideOnEveryPath: every evaluation path must agree.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzRoads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
    Logic::FuzzRoads::DecideOnEveryPath(std::string(reinterpret_cast<const char*>(aData), aSize));
    return 0;
}
