// The calling order every caller of the engine follows, kept in one place: the
// options made from the settings, then parse, on "Good" the semantic layer, then
// build; or, after an edit of the tree, reset, semantic layer, build.
#pragma once

#include <string>
#include <string_view>

#include "engine/dispatch.h"
#include "engine/result.h"
#include "engine/semantics.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

class NamePipeline {
public:
    // settings must outlive the pipeline; sink answers the semantic layer's box.
    explicit NamePipeline(const GlobalSettings& settings, bool editMode = false, MessageSink* sink = nullptr);

    // Makes the date and semantic options again from the settings.
    void RefreshOptions(bool editMode);
    void SetSink(MessageSink* sink) { sink_ = sink; }
    // Off skips the semantic layer (for tools that want the bare parse and build).
    void SetSemantics(bool on) { semantics_ = on; }
    bool semantics() const { return semantics_; }
    MessageSink* sink() const { return sink_; }

    // Parses name into the tree; on "Good" applies the semantic layer and builds.
    // Returns the folded result.
    const Result& Evaluate(std::string_view name);
    // Evaluate's two halves, for tools that look at the tree between them (the fuzz
    // targets): the parse alone; then, after a "Good" one, the semantic layer and
    // the build, folded into the parse's result.
    const Result& Parse(std::string_view name);
    const Result& BuildParsed();
    // What Evaluate gives a name of nameLength characters, more than the longest
    // name parsed, for a reader that kept only its start: a failed parse.
    const Result& RefuseLong(int nameLength);
    // After the tree was edited: resets its marks, applies the semantic layer and
    // builds in the format the name was last parsed from. Returns the folded result.
    const Result& Rebuild();
    // After a batch step changed the tree of a "Good" Evaluate: the semantic layer
    // (when on and asked for) and the build again, folded into that evaluation's
    // result; node marks and the result are kept, not reset.
    const Result& BuildAgain(bool semantics);

    // The parse alone; the semantic layer and the build alone (Good when they did not
    // run); the two folded (the worse status wins, the parse first).
    const Result& parseResult() const { return parse_; }
    const Result& buildResult() const { return build_; }
    const Result& result() const { return folded_; }

    // Whether the last call built a name, and the name (empty on a "Fail" build).
    bool built() const { return built_; }
    const std::string& builtName() const { return name_; }
    // The format the name was parsed from (kept from the last "Good" parse for
    // Rebuild), and the one the build wrote.
    std::string_view formatCode() const { return formatCode_; }
    // The format of the last Evaluate's parse alone: empty when it failed.
    std::string_view parseFormatCode() const { return parseFormatCode_; }
    std::string_view formatName() const { return formatName_; }
    std::string_view buildFormatName() const { return buildFormatName_; }
    // Where Rebuild builds to when the tree did not come from Evaluate.
    void SetFormatCode(std::string_view code) { formatCode_ = code; }

    AttributeTree& tree() { return tree_; }
    const AttributeTree& tree() const { return tree_; }
    const GlobalSettings& settings() const { return settings_; }
    const DateOptions& dateOptions() const { return dateOptions_; }
    const SemanticOptions& semanticOptions() const { return semanticOptions_; }
    EngineContext context() const { return {settings_, dateOptions_, semanticOptions_, sink_}; }

private:
    void semanticsAndBuild();
    const Result& fold();

    const GlobalSettings& settings_;
    MessageSink* sink_;
    DateOptions dateOptions_;
    SemanticOptions semanticOptions_;
    bool semantics_ = true;

    AttributeTree tree_;
    Result parse_, build_, folded_;
    std::string name_;
    bool built_ = false;
    void noBuild();

    std::string_view formatCode_, parseFormatCode_, formatName_, buildFormatName_;
};

}  // namespace lorvane
