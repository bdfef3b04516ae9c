// The one way into the parsers and builders: by mode, or by trying formats in turn.
#pragma once

#include <string>
#include <string_view>

#include "engine/result.h"
#include "engine/semantics.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

namespace format {
constexpr std::string_view Code2x = "2.x", Name2x = "Lorvane Data 2.x";
constexpr std::string_view Code1x = "1.x", Name1x = "Lorvane Data 1.x";
constexpr std::string_view CodeBatch = "Batch", NameBatch = "Serialized Batch Output File";
}  // namespace format

// What the dispatch hands to the format procedures. The caller fills the two records.
struct EngineContext {
    const GlobalSettings& settings;
    const DateOptions& dateOptions;
    const SemanticOptions& semanticOptions;
    MessageSink* sink = nullptr;
};

// formatCode/formatName: the format that succeeded, or empty.
void ParseFilename(std::string_view fileName, AttributeTree& tree, const EngineContext& ctx,
                   std::string_view& formatCode, std::string_view& formatName, Result& result);

// What ParseFilename gives a name of nameLength characters, more than ParseLengthMaximum,
// for a reader that kept only the start of it rather than hold a name of any length.
void RefuseLongFilename(int nameLength, AttributeTree& tree, const EngineContext& ctx, std::string_view& formatCode,
                        std::string_view& formatName, Result& result);

// fileName: the built name on "Good"/"Warn", empty on "Fail". The result is
// overwritten only by the fallback and invalid-mode paths; otherwise the builders add to it.
void BuildFilename(std::string& fileName, AttributeTree& tree, std::string_view sourceFormatCode,
                   const EngineContext& ctx, std::string_view& formatName, Result& result);

}  // namespace lorvane
