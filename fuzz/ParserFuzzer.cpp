// libFuzzer target for the parser: any bytes, split at line feeds as the driver splits a
// document, must end in a formula or in the parser's or the model's own failure. Not part of
// the default build; for example:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//       fuzz/ParserFuzzer.cpp src/parser/*.cpp src/model/*.cpp src/platform/*Posix.cpp ...
// (link whatever the model needs), then run it on a corpus directory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/EngineException.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
    std::vector<std::string> lLines(1);
    for (size_t lIndex = 0; lIndex < aSize; ++lIndex) {
        if (aData[lIndex] == '\n') {
            lLines.emplace_back();
        } else {
            lLines.back() += static_cast<char>(aData[lIndex]);
        }
    }
    Logic::RunWithLargeStack([&] {
        try {
            const Logic::MatrixPtr lRoot = Logic::Parser::Parse(lLines);
            (void)lRoot->ToString();
        } catch (const Logic::ParseError&) {
        } catch (const Logic::EngineException&) {
        }
    });
    return 0;
}
